// The program as an unattended service on pseudo-terminals: one program per home folder, a pulled
// adapter, and several lines at once.

#include <gtest/gtest.h>

#include <signal.h>

#include <memory>
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
    // A fresh line: the killed program's exclusive mode stays on its pseudo-terminal.
    Simulator nextSim = startSimulator({"--records", "/dev/null", "--ring-delay", "600"});
    auto third = startHeadless(home, nextSim.ptyPath);
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

TEST(Unattended, TwoLinesWithAHomeEachServeTheirCallsAtOnce) {
    struct Line {
        Home home;
        std::string name;
        std::string records;
        Simulator sim;
        std::unique_ptr<ChildProcess> modem;
    };
    Line lines[2] = {{{}, "LINE1", crlfLines({cp932("ｲﾁ,1")}), {}, {}},
                     {{}, "LINE2", crlfLines({cp932("ﾆ,2"), "two,2"}), {}, {}}};
    for (Line& line : lines) {
        line.home.write(SettingsLine{});
        writeFile(line.home.scratch.path() / "records.txt", line.records);
        line.sim = startSimulator({"--records", (line.home.scratch.path() / "records.txt").string(),
                                   "--name", line.name, "--ring-delay", "1", "--timeout", "60"});
        ASSERT_FALSE(line.sim.ptyPath.empty());
        line.modem = startHeadless(line.home, line.sim.ptyPath);
    }
    for (Line& line : lines) {
        EXPECT_EQ(line.modem->waitForExit(60s), 0) << line.modem->errorOutput();
        EXPECT_EQ(fileBytes(line.home.out / (line.name + ".txt")), line.records);
        EXPECT_EQ(fileBytes(line.home.backFile()), line.records);
    }
}

}  // namespace
}  // namespace karune::test
