// Files that a call cannot write: held open by another program, as a spreadsheet holds the file
// it shows on Windows, refused, or on a full disk. The terminal hears "ACK" only for what is
// stored, the history keeps everything, and the operator learns which file it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <map>
#include <set>
#include <string>
#include <system_error>

#include "link/Cp932.h"
#include "session/ClosingReport.h"
#include "session/Labels.h"
#include "session/TerminalHarness.h"
#include "support/HeldFiles.h"

namespace karune::test {
namespace {

namespace fs = std::filesystem;

std::string textOf(const fs::path& file) {
    return cp932ToUtf8(fileBytes(file)).value_or("<not CP932>");
}

std::string detail(int err) {
    return " " + std::to_string(err) + ":" + std::generic_category().message(err);
}

TEST(FileErrors, OnlyWhatIsStoredIsAcknowledgedAndTheOperatorLearnsWhichFile) {
    struct Case {
        const char* name;
        std::map<std::string, int> held;
        std::set<std::string> full;
        std::int16_t overWrite;
        int acks;           // for the file name, the record and the end
        std::string error;  // after the time stamp; OUT: the output path
        int beeps;
        int messages;  // the operator's, besides the label
    };
    const std::string failed = " [異常終了]";
    const std::string logHeld = ">ﾚｺｰﾄﾞ受信<1件> : 正常終了  LogFile" + detail(EBUSY) +
                                " ［LOG.TXTは他のﾌﾟﾛｸﾞﾗﾑが使用中です。この通信は記録されません］";
    const std::string logRefused = "> LogFile" + detail(EACCES) + failed;
    const std::string outputHeld =
        ">出力ﾌｧｲﾙが他のﾌﾟﾛｸﾞﾗﾑで使用中です : OUT ［端末はﾚｺｰﾄﾞを再送します］" + failed;
    const std::string backupFull = "> BackFile#1WR " + detail(ENOSPC) + failed;
    const Case cases[] = {
        {"LOG.TXT held", {{"LOG.TXT", EBUSY}}, {}, 0, 3, logHeld, 2, 0},
        {"LOG.TXT refused", {{"LOG.TXT", EACCES}}, {}, 0, 1, logRefused, 1, 0},
        {"output held, appending", {{"abc.txt", EBUSY}}, {}, 0, 2, outputHeld, 0, 2},
        {"output held, replacing", {{"abc.txt", EBUSY}}, {}, 1, 2, outputHeld, 0, 2},
        {"back-up on a full disk", {}, {"Back.txt"}, 0, 1, backupFull, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HeldFiles files;
        files.held = c.held;
        files.full = c.full;
        TerminalHarness h([&](Settings& s) { s.OverWrite = c.overWrite; }, files);
        writeFile(h.saveFolder() / "abc.txt", "A,B\r\n");
        h.script = {
            {"VOL", frameOf('#', "abc@1", 0)}, {"ACK", frameOf('0', "abc", 0)}, {"ACK", "END"}};
        h.run();
        ReportCompletion(h.ctx());
        WriteHistoryLine(h.ctx());

        std::string expected = c.error;
        if (const auto at = expected.find("OUT"); at != std::string::npos)
            expected.replace(at, 3, h.ctx().outputPath);
        EXPECT_EQ(h.errorMessage(), expected);
        const bool completed = c.acks == 3;
        EXPECT_EQ(std::ranges::count(h.heard, "ACK"), c.acks);
        EXPECT_EQ(h.heard.back(), completed ? "ACK" : "CAN");
        EXPECT_EQ(h.display.count("beep"), c.beeps);
        ASSERT_EQ(static_cast<int>(h.messages.shown().size()), c.messages);
        if (c.messages > 0) {
            EXPECT_EQ(h.messages.shown().back().text, expected.substr(1, expected.find(" [") - 1));
        }
        EXPECT_NE(textOf(h.saveFolder() / "2007-06.txt").find(expected), std::string::npos);
        // The output file as it was or with the record, and no journal or part beside it.
        EXPECT_EQ(h.output("abc.txt"), completed ? "A,B\r\nabc\r\n" : "A,B\r\n");
        for (const std::string& name : namesIn(h.saveFolder())) {
            EXPECT_FALSE(name.starts_with(".")) << name;
        }
    }
}

// Held through two calls of June, then June free and July held, then both free: every line
// reaches its own month's file once, in order, synced once per append.
TEST(HistoryLine, WaitsForItsHeldFileAndFollowsInOrder) {
    HeldFiles files;
    TerminalHarness h({}, files);
    const fs::path june = h.saveFolder() / "2007-06.txt";
    const fs::path july = h.saveFolder() / "2007-07.txt";
    const auto cycle = [&](const std::string& name) {
        h.ctx().setStopText("s" + name);
        h.ctx().showError(kReplace, "e" + name);
        WriteHistoryLine(h.ctx());
    };

    files.held = {{"2007-06.txt", EBUSY}};
    cycle("1");
    EXPECT_EQ(h.display.last("error"), "e1 履歴ﾌｧｲﾙが他のﾌﾟﾛｸﾞﾗﾑで使用中です : " + june.string() +
                                           " ［この記録は次の通信で書き込みます］");
    cycle("2");
    EXPECT_FALSE(fs::exists(june));
    EXPECT_EQ(h.display.count("beep"), 2);

    h.clock().advanceBy(std::chrono::hours(24 * 30));
    files.held = {{"2007-07.txt", EBUSY}};
    cycle("3");
    EXPECT_EQ(textOf(june), "s1->e1\r\ns2->e2\r\n");
    EXPECT_FALSE(fs::exists(july));

    files.held.clear();
    cycle("4");
    EXPECT_EQ(textOf(june), "s1->e1\r\ns2->e2\r\n");
    EXPECT_EQ(textOf(july), "s3->e3\r\ns4->e4\r\n");
    EXPECT_EQ(h.display.count("beep"), 3);
    EXPECT_EQ(files.syncs["2007-06.txt"], 1);
    EXPECT_EQ(files.syncs["2007-07.txt"], 1);
    // Nothing waits any more.
    EXPECT_EQ(namesIn(h.saveFolder()), (std::vector<std::string>{"2007-06.txt", "2007-07.txt"}));
}

}  // namespace
}  // namespace karune::test
