// A file fault with the real program on a pseudo-terminal: the call ends with "CAN", the program
// reports the failure, and nothing half-written is left as the output.

#include <gtest/gtest.h>

#include <string>

#include "integration/IntegrationSupport.h"

namespace karune::test {
namespace {

// The session tests own the other files and faults.
TEST(Integration, OutputOnAFullDiskEndsTheCallWithCanAndExitStatusOne) {
    Home home;
    home.write(SettingsLine{});
    std::filesystem::create_symlink("/dev/full", home.out / "DATA.txt");
    const auto recordsFile = home.scratch.path() / "records.txt";
    writeFile(recordsFile, crlfLines({cp932("ｶﾀｶﾅ,表ソ,①"), "plain,ascii"}));

    Simulator sim =
        startSimulator({"--records", recordsFile.string(), "--ring-delay", "1", "--timeout", "60"});
    ASSERT_FALSE(sim.ptyPath.empty());
    auto modem = startHeadless(home, sim.ptyPath);

    EXPECT_EQ(modem->waitForExit(60s), 1);
    const auto report = sim.process->nextLine(10s);
    ASSERT_TRUE(report.has_value());
    EXPECT_TRUE(report->starts_with("call 1: CAN")) << *report;
    const auto error = modem->waitForLine(
        [&](const std::string& l) {
            return l.starts_with("error: ") && l.find("[異常終了]") != std::string::npos;
        },
        1s);
    EXPECT_TRUE(error.has_value()) << ::testing::PrintToString(modem->lines());
    EXPECT_FALSE(modem->errorOutput().empty()) << "the operator hears of the failed conversion";
    EXPECT_FALSE(std::filesystem::is_regular_file(home.out / "DATA.txt"));
}

}  // namespace
}  // namespace karune::test
