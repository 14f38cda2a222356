// File faults with the real program on a pseudo-terminal: the call ends with "CAN", the program
// reports the failure, and nothing half-written is left as the output.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "integration/IntegrationSupport.h"

namespace karune::test {
namespace {

struct PtyFileFault {
    const char* name;
    std::function<void(const Home&, SettingsLine&)> setUp;
    // Acts when the first record has been stored, with the call still among the records.
    std::function<void(const Home&)> onFirstRecord;
    std::string stdoutPart;  // in some "error: " line
    bool operatorMessage;    // something on standard error
};

// Test names in ctest and failure messages show the case by its name.
void PrintTo(const PtyFileFault& c, std::ostream* os) {
    *os << c.name;
}

class FileFaultOverPty : public ::testing::TestWithParam<PtyFileFault> {};

TEST_P(FileFaultOverPty, EndsTheCallWithCanAndExitStatusOne) {
    const PtyFileFault& c = GetParam();
    Home home;
    SettingsLine settings;
    c.setUp(home, settings);
    home.write(settings);
    // Enough records that the call is still among them when the first one shows.
    std::vector<std::string> records;
    for (int i = 0; i < 20; ++i)
        records.push_back(cp932("ｶﾀｶﾅ,表ソ,①") + std::to_string(i));
    const auto recordsFile = home.scratch.path() / "records.txt";
    writeFile(recordsFile, crlfLines(records));

    Simulator sim =
        startSimulator({"--records", recordsFile.string(), "--ring-delay", "1", "--timeout", "60"});
    ASSERT_FALSE(sim.ptyPath.empty());
    auto modem = startHeadless(home, sim.ptyPath);
    if (c.onFirstRecord) {
        ASSERT_TRUE(modem->waitForLine(
            [](const std::string& l) { return l.starts_with("status: ﾚｺｰﾄﾞ受信 :  1/"); }, 30s));
        c.onFirstRecord(home);
    }

    EXPECT_EQ(modem->waitForExit(60s), 1);
    const auto report = sim.process->nextLine(10s);
    ASSERT_TRUE(report.has_value());
    EXPECT_TRUE(report->starts_with("call 1: CAN")) << *report;
    const auto error = modem->waitForLine(
        [&](const std::string& l) {
            return l.starts_with("error: ") && l.find(c.stdoutPart) != std::string::npos;
        },
        1s);
    EXPECT_TRUE(error.has_value()) << ::testing::PrintToString(modem->lines());
    EXPECT_EQ(!modem->errorOutput().empty(), c.operatorMessage)
        << modem->errorOutput() << ::testing::PrintToString(modem->lines());
    EXPECT_FALSE(std::filesystem::is_regular_file(home.out / "DATA.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Integration, FileFaultOverPty,
    ::testing::Values(
        // A save folder missing at start-up is replaced by the default one, so it goes later.
        PtyFileFault{"SaveFolderRemovedDuringTheCall", [](const Home&, SettingsLine&) {},
                     [](const Home& h) { std::filesystem::remove_all(h.out); }, "[異常終了]", true},
        PtyFileFault{"OutputOnAFullDisk",
                     [](const Home& h, SettingsLine&) {
                         std::filesystem::create_symlink("/dev/full", h.out / "DATA.txt");
                     },
                     {},
                     "[異常終了]",
                     true},
        PtyFileFault{"BackupOnAFullDisk",
                     [](const Home& h, SettingsLine&) {
                         std::filesystem::create_symlink("/dev/full", h.backFile());
                     },
                     {},
                     "> BackFile#1WR ",
                     false}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace karune::test
