// A long run of the program with automatic start: many calls in a row over one pseudo-terminal.

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "integration/IntegrationSupport.h"

namespace karune::test {
namespace {

constexpr int kCalls = 100;
constexpr int kEarlySample = 10;
// Allocator arenas and stdio buffers settle within the first calls; anything that grows per call
// (a leaked buffer, a kept line, an unclosed file) exceeds this by far over 90 calls.
constexpr long kRssMarginKiB = 1024;

struct ProcessSample {
    long rssKiB = -1;
    long openFds = -1;
};

ProcessSample sample(pid_t pid) {
    ProcessSample s;
    const std::filesystem::path proc = "/proc/" + std::to_string(pid);
    std::ifstream status(proc / "status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:"))
            s.rssKiB = std::stol(line.substr(6));
    }
    std::error_code ec;
    s.openFds =
        static_cast<long>(std::distance(std::filesystem::directory_iterator(proc / "fd", ec),
                                        std::filesystem::directory_iterator()));
    return s;
}

std::string repeated(const std::string& block, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += block;
    return out;
}

TEST(PtySoak, HundredCallsInARowKeepMemoryAndFilesFlat) {
    Home home;
    SettingsLine settings;
    settings.autoStart = 1;
    settings.overWrite = 0;
    home.write(settings);
    const std::vector<std::string> records = {cp932("ｶﾀｶﾅ,ﾃｽﾄ,001"), cp932("ソフト,表示,①番"),
                                              cp932("C:\\DATA,表,ソ"), "plain,ascii,line"};
    const auto recordsFile = home.scratch.path() / "records.txt";
    writeFile(recordsFile, crlfLines(records));

    // A ring delay of one second keeps the first RING apart from the modem's "OK".
    Simulator sim = startSimulator({"--records", recordsFile.string(), "--ring-delay", "1",
                                    "--calls", std::to_string(kCalls), "--timeout", "900"});
    ASSERT_FALSE(sim.ptyPath.empty());
    auto modem = startHeadless(home, sim.ptyPath);

    ProcessSample early;
    ProcessSample late;
    for (int call = 1; call <= kCalls; ++call) {
        const std::string expected = "call " + std::to_string(call) + ": ACK, " +
                                     std::to_string(records.size()) + " records acknowledged";
        ASSERT_EQ(sim.process->nextLine(60s), expected) << modem->errorOutput();
        if (call == kEarlySample)
            early = sample(modem->pid());
        if (call == kCalls)
            late = sample(modem->pid());
    }
    ASSERT_TRUE(modem->signal(SIGTERM));
    EXPECT_EQ(modem->waitForExit(15s), 0);
    EXPECT_EQ(sim.process->waitForExit(15s), 0);

    ASSERT_GT(early.rssKiB, 0);
    ASSERT_GT(early.openFds, 0);
    EXPECT_LE(late.rssKiB, early.rssKiB + kRssMarginKiB)
        << "resident memory grew from " << early.rssKiB << " KiB to " << late.rssKiB << " KiB";
    EXPECT_LE(late.openFds, early.openFds);
    RecordProperty("rss_kib_after_call_10", std::to_string(early.rssKiB));
    RecordProperty("rss_kib_after_call_100", std::to_string(late.rssKiB));
    RecordProperty("open_fds_after_call_10", std::to_string(early.openFds));
    RecordProperty("open_fds_after_call_100", std::to_string(late.openFds));
    std::cout << "VmRSS " << early.rssKiB << " -> " << late.rssKiB << " KiB, fds " << early.openFds
              << " -> " << late.openFds << "\n";

    EXPECT_EQ(fileBytes(home.out / "DATA.txt"), repeated(crlfLines(records), kCalls));
    const auto history = historyFiles(home.out);
    ASSERT_EQ(history.size(), 1u);
    const std::vector<std::string> lines = splitCrLf(fileBytes(history[0]));
    const std::string done =
        cp932("ﾚｺｰﾄﾞ受信<4件> : 正常終了 :") + (home.out / "DATA.txt").string();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const std::string& l) { return l.ends_with(done); }),
              kCalls);
}

}  // namespace
}  // namespace karune::test
