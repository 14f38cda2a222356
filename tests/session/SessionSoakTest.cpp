// A thousand calls in a row with automatic start in virtual time, against the simulator's peers.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ModemLineWire.h"
#include "link/Cp932.h"
#include "session/CommSession.h"
#include "support/FakeDisplay.h"
#include "support/FakeMessages.h"
#include "support/FakePorts.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace karune {
namespace {

constexpr int kCalls = 1000;
constexpr int kEarlySample = 100;
// What the test's own bookkeeping may add over 900 calls (the far end keeps one short final word
// per call, the fake ports one number per open); a per-call leak of the session shows far above.
constexpr long kRssMarginKiB = 512;

struct Usage {
    long rssKiB = -1;
    long openFds = -1;
};

Usage usageNow() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = -1;
    statm >> size >> resident;
    const auto fds = std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                   std::filesystem::directory_iterator());
    return {resident * (::sysconf(_SC_PAGESIZE) / 1024), static_cast<long>(fds)};
}

TEST(SessionSoak, ThousandCallsWithAutomaticStartKeepEveryRecordAndStayFlat) {
    std::vector<std::string> records;
    for (const char* utf8 :
         {"ｶﾀｶﾅ,ﾃｽﾄ,001", "ソフト,表示,①番", "C:\\DATA,表,ソ", "plain,ascii,line"})
        records.push_back(utf8ToCp932(utf8).value());

    sim::VirtualClock clock;
    modemsim::ModemLine farEnd(
        {.answers = {}, .ringDelay = std::chrono::seconds(1), .calls = kCalls},
        {.records = records, .dropAfter = {}}, modemsim::DropMode::Silent);
    test::ModemLineWire wire(clock, farEnd);
    test::FakePorts ports(wire, kCalls + 1);
    test::FakeDisplay display;
    display.keep = false;
    test::FakeMessages messages;
    SessionFlags flags{.running = true};
    test::TempFolder folder;
    Settings settings{
        .FixFname = {}, .Folder = folder.text(), .Port = 1, .AutoStart = 1, .TimeAdjust = "1"};
    settings.Field.fill(1);

    int calls = 0;
    std::vector<std::string> failures;  // kept short: the first few only
    Usage early;
    Usage late;
    wire.onReport = [&](const std::string& report) {
        ++calls;
        if (report != "call " + std::to_string(calls) + ": ACK, 4 records acknowledged" &&
            failures.size() < 5)
            failures.push_back(report);
        if (calls == kEarlySample)
            early = usageNow();
        if (calls == kCalls) {
            late = usageNow();
            flags.running = false;
        }
    };

    CommSession session(SessionServices{ports, clock, display, messages}, flags, settings,
                        folder.path() / "Back.txt");
    session.run();

    EXPECT_EQ(calls, kCalls);
    EXPECT_TRUE(failures.empty()) << ::testing::PrintToString(failures);
    EXPECT_TRUE(session.lastCycleCompleted());
    EXPECT_TRUE(messages.shown().empty());
    std::string all;
    for (int i = 0; i < kCalls; ++i)
        for (const std::string& r : records)
            all += r + "\r\n";
    EXPECT_TRUE(test::fileBytes(folder.path() / "DATA.txt") == all);

    ASSERT_GT(early.rssKiB, 0);
    // AddressSanitizer keeps freed memory in quarantine, so resident memory says nothing there.
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LE(late.rssKiB, early.rssKiB + kRssMarginKiB)
        << "resident memory grew from " << early.rssKiB << " KiB to " << late.rssKiB << " KiB";
#endif
    EXPECT_EQ(late.openFds, early.openFds);
}

}  // namespace
}  // namespace karune
