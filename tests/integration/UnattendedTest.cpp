// The program as an unattended service on pseudo-terminals: one program per home folder, a pulled
// adapter, and several lines at once.

#include <gtest/gtest.h>

#include <signal.h>

#include <string>

#include "integration/IntegrationSupport.h"

namespace karune::test {
namespace {

const std::string kCallWaitStatus = "status: ﾓﾃﾞﾑ着信(RING)待ち ... ";

bool waitsForACall(ChildProcess& modem) {
    return modem.waitForLine([](const std::string& l) { return l == kCallWaitStatus; }, 20s)
        .has_value();
}

TEST(Unattended, ASecondProgramOnAHeldHomeRefusesToStartUntilTheFirstIsGone) {
    Home home;
    home.write(SettingsLine{});
    const std::string settings = fileBytes(home.dir / "karune-modem.ini");
    Simulator sim = startSimulator({"--records", "/dev/null", "--ring-delay", "600"});
    ASSERT_FALSE(sim.ptyPath.empty());
    auto first = startHeadless(home, sim.ptyPath);
    ASSERT_TRUE(waitsForACall(*first)) << first->errorOutput();

    std::filesystem::remove(home.dir / "karune-modem.ini");
    auto second = startHeadless(home, "/nonexistent");
    EXPECT_EQ(second->waitForExit(10s), 1);
    EXPECT_NE(second->errorOutput().find("in use by another karune-modem"), std::string::npos)
        << second->errorOutput();
    EXPECT_TRUE(second->lines().empty());
    EXPECT_FALSE(std::filesystem::exists(home.dir / "karune-modem.ini")) << "touched by the second";

    writeFile(home.dir / "karune-modem.ini", settings);
    first->signal(SIGKILL);
    first->waitForExit(10s);
    auto third = startHeadless(home, sim.ptyPath);
    EXPECT_TRUE(waitsForACall(*third)) << third->errorOutput();
}

TEST(Unattended, APulledAdapterEndsTheCallWaitWithThePortErrorAndExitStatusOne) {
    Home home;
    SettingsLine settings;
    settings.autoStart = 1;
    home.write(settings);
    Simulator sim = startSimulator({"--records", "/dev/null", "--ring-delay", "600"});
    ASSERT_FALSE(sim.ptyPath.empty());
    auto modem = startHeadless(home, sim.ptyPath);
    ASSERT_TRUE(waitsForACall(*modem)) << modem->errorOutput();

    sim.process->signal(SIGKILL);
    EXPECT_EQ(modem->waitForExit(20s), 1);
    const auto error = modem->waitForLine(
        [](const std::string& l) {
            return l.starts_with("error: ") && l.find(">ﾎﾟｰﾄ 1: ") != std::string::npos;
        },
        1s);
    EXPECT_TRUE(error.has_value()) << ::testing::PrintToString(modem->lines());
}

}  // namespace
}  // namespace karune::test
