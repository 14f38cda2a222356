// Files that another program holds open, as a spreadsheet holds the file it shows on Windows: the
// call and the history keep everything, and the operator learns which file it was.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
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

TEST(HeldFiles, TheCallNamesTheFileAnotherProgramHolds) {
    const std::string busy = " 16:" + std::generic_category().message(EBUSY);
    struct Case {
        const char* held;
        bool completed;
        std::string finalWord;
        std::string error;  // after the time stamp
        int beeps;
        int messages;  // the operator's, besides the label
    };
    const Case cases[] = {
        {"LOG.TXT", true, "ACK",
         ">ﾚｺｰﾄﾞ受信<1件> : 正常終了  LogFile" + busy +
             " ［LOG.TXTは他のﾌﾟﾛｸﾞﾗﾑが使用中です。この通信は記録されません］",
         2, 0},
        {"abc.txt", false, "CAN",
         ">出力ﾌｧｲﾙが他のﾌﾟﾛｸﾞﾗﾑで使用中です : OUT ［端末はﾚｺｰﾄﾞを再送します］ [異常終了]", 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.held);
        HeldFiles files;
        files.held = {c.held};
        TerminalHarness h({}, {}, files);
        h.script = {
            {"VOL", frameOf('#', "abc@1", 0)}, {"ACK", frameOf('0', "abc", 0)}, {"ACK", "END"}};
        h.run();
        ReportCompletion(h.ctx());
        WriteHistoryLine(h.ctx());

        std::string expected = c.error;
        if (const auto at = expected.find("OUT"); at != std::string::npos)
            expected.replace(at, 3, h.ctx().outputPath);
        const std::string error = h.display.last("error");
        EXPECT_EQ(error.substr(std::min<std::size_t>(19, error.size())), expected);
        EXPECT_EQ(h.ctx().completed, c.completed);
        EXPECT_TRUE(h.written().ends_with(c.finalWord + "\r")) << h.written();
        EXPECT_EQ(h.display.count("beep"), c.beeps);
        ASSERT_EQ(static_cast<int>(h.messages.shown().size()), c.messages);
        if (c.messages > 0) {
            EXPECT_EQ(h.messages.shown().back().text, expected.substr(1, expected.find(" [") - 1));
        }
        EXPECT_NE(textOf(h.saveFolder() / "2007-06.txt").find(expected), std::string::npos);
        EXPECT_EQ(h.output("abc.txt"), c.completed ? "abc\r\n" : "");
    }
}

// Held through two calls of June, then June free and July held, then both free: every line
// reaches its own month's file once, in order, synced once per append.
TEST(HistoryLine, WaitsForItsHeldFileAndFollowsInOrder) {
    HeldFiles files;
    TerminalHarness h({}, {}, files);
    const fs::path june = h.saveFolder() / "2007-06.txt";
    const fs::path july = h.saveFolder() / "2007-07.txt";
    const auto cycle = [&](const std::string& name) {
        h.ctx().setStopText("s" + name);
        h.ctx().showError(kReplace, "e" + name);
        WriteHistoryLine(h.ctx());
    };

    files.held = {"2007-06.txt"};
    cycle("1");
    EXPECT_EQ(h.display.last("error"), "e1 履歴ﾌｧｲﾙが他のﾌﾟﾛｸﾞﾗﾑで使用中です : " + june.string() +
                                           " ［この記録は次の通信で書き込みます］");
    cycle("2");
    EXPECT_FALSE(fs::exists(june));
    EXPECT_EQ(h.display.count("beep"), 2);

    h.clock().advanceBy(std::chrono::hours(24 * 30));
    files.held = {"2007-07.txt"};
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
    std::set<std::string> names;  // nothing waits any more
    for (const fs::directory_entry& entry : fs::directory_iterator(h.saveFolder()))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"2007-06.txt", "2007-07.txt"}));
}

}  // namespace
}  // namespace karune::test
