#include "session/ClosingReport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "linesim/SimulatedLine.h"
#include "linesim/VirtualClock.h"
#include "link/Cp932.h"
#include "link/LineIo.h"
#include "session/Labels.h"
#include "support/FakeDisplay.h"
#include "support/FakeMessages.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace karune {
namespace {

const std::string kStop = "［ｽﾄｯﾌﾟﾎﾞﾀﾝが押されました］";

// A session context at 2007-06-06 09:15:00 with the port open on a simulated line.
struct Rig {
    sim::VirtualClock clock;
    sim::SimulatedLine wire{clock};
    LineIo line{wire, clock};
    test::FakeDisplay display;
    test::FakeMessages messages;
    SessionFlags flags;
    test::TempFolder folder;
    std::unique_ptr<SessionContext> ctx;

    explicit Rig(const std::string& folderSuffix = "") {
        Settings settings;
        settings.Folder = folder.text() + folderSuffix;
        ctx = std::make_unique<SessionContext>(clock, display, messages, flags, settings,
                                               folder.path() / "Back.txt");
        ctx->line = &line;
    }

    std::string historyBytes(const std::string& name = "2007-06.txt") const {
        return test::fileBytes(folder.path() / name);
    }
};

struct ReportCase {
    const char* name;
    bool completed;
    std::int64_t announced;
    bool stopPressed;
    std::string errorBefore;
    bool portOpen;
    std::string status;  // after, from the status "ﾓﾃﾞﾑ接続完了 ... "
    std::string error;
    std::string wire;
    int beeps;
};

TEST(ReportCompletion, TurnsTheOutcomeIntoTextsAndTheFinalWord) {
    const std::string s0 = "ﾓﾃﾞﾑ接続完了 ... ";
    const ReportCase cases[] = {
        {"success", true, 3, false, "", true, s0 + "\r\nﾚｺｰﾄﾞ受信<3件> : 正常終了 ",
         "2007-06-06-09:15:00>ﾚｺｰﾄﾞ受信<3件> : 正常終了 ", "ACK\r", 1},
        {"success replaces an earlier message", true, 0, true, "old", true,
         s0 + "\r\nﾚｺｰﾄﾞ受信<0件> : 正常終了 ", "2007-06-06-09:15:00>ﾚｺｰﾄﾞ受信<0件> : 正常終了 ",
         "ACK\r", 1},
        {"an announced count beyond 16 bits", true, 70000, false, "", true,
         s0 + "\r\nﾚｺｰﾄﾞ受信<70000件> : 正常終了 ",
         "2007-06-06-09:15:00>ﾚｺｰﾄﾞ受信<70000件> : 正常終了 ", "ACK\r", 1},
        {"stop pressed, nothing else to say", false, 3, true, "", true, s0 + kStop + "[異常終了]",
         "2007-06-06-09:15:00>" + kStop + " [異常終了]", "CAN\r", 0},
        {"failure with a message: no stop text", false, 3, true, "2007-06-06-09:14:00>ERR", true,
         s0 + "[異常終了]", "2007-06-06-09:14:00>ERR [異常終了]", "CAN\r", 0},
        {"failure without a message and without stop: no time stamp", false, 3, false, "", true,
         s0 + kStop + "[異常終了]", kStop + " [異常終了]", "CAN\r", 0},
        {"port closed: texts only", false, 0, false, "ﾎﾟｰﾄ", false, s0 + "[異常終了]",
         "ﾎﾟｰﾄ [異常終了]", "", 0},
    };
    for (const ReportCase& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r;
        r.ctx->showStatus(kReplace, s0);
        r.ctx->showError(kReplace, c.errorBefore);
        r.ctx->completed = c.completed;
        r.ctx->announcedCount = c.announced;
        r.flags.stopPressed = c.stopPressed;
        if (!c.portOpen)
            r.ctx->line = nullptr;

        ReportCompletion(*r.ctx);

        EXPECT_EQ(r.ctx->statusText(), c.status);
        EXPECT_EQ(r.ctx->errorText(), c.error);
        EXPECT_EQ(r.display.last("status"), c.status);
        EXPECT_EQ(r.display.last("error"), c.error);
        EXPECT_EQ(r.wire.written(), c.wire);
        EXPECT_EQ(r.display.count("beep"), c.beeps);
        EXPECT_EQ(r.ctx->stopText(), "2007-06-06 09:15:00");
        EXPECT_EQ(r.display.texts("stop"), std::vector<std::string>{"2007-06-06 09:15:00"});
        EXPECT_EQ(r.display.last("progress").substr(r.display.last("progress").rfind(' ') + 1),
                  "hidden");
    }
}

struct HistoryCase {
    const char* name;
    std::string error;
    std::string outputPath;
    std::string line;  // UTF-8, without CR LF
    std::string folderSuffix = "";
};

TEST(WriteHistoryLine, AppendsOneLinePerCycleInCp932) {
    const HistoryCase cases[] = {
        {"with the output path", "2007-06-06-09:15:05>ﾚｺｰﾄﾞ受信<3件> : 正常終了 ",
         "/data/受信/abc.txt",
         "2007-06-06 09:15:00->2007-06-06-09:15:05>ﾚｺｰﾄﾞ受信<3件> : 正常終了 :/data/受信/abc.txt"},
        {"without a path", "2007-06-06-09:15:00>" + kStop + " [異常終了]", "",
         "2007-06-06 09:15:00->2007-06-06-09:15:00>" + kStop + " [異常終了]"},
        {"empty error label", "", "", "2007-06-06 09:15:00->"},
        {"a modem reply in the label stays on the line",
         "2007-06-06-09:15:00>ATAﾀｲﾑｱｳﾄ,CONNECT以外受信! \r\nNO CARRIER\r\n [異常終了]", "",
         "2007-06-06 09:15:00->2007-06-06-09:15:00>ATAﾀｲﾑｱｳﾄ,CONNECT以外受信! NO CARRIER "
         "[異常終了]"},
        {"folder with a trailing separator", "ﾎﾟｰﾄ", "", "2007-06-06 09:15:00->ﾎﾟｰﾄ", "/"},
    };
    for (const HistoryCase& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r(c.folderSuffix);
        r.ctx->setStopText("2007-06-06 09:15:00");
        r.ctx->showError(kReplace, c.error);
        r.ctx->outputPath = c.outputPath;
        WriteHistoryLine(*r.ctx);
        EXPECT_EQ(r.historyBytes(), utf8ToCp932(c.line).value() + "\r\n");
        EXPECT_EQ(r.display.count("beep"), 0);
    }
}

TEST(WriteHistoryLine, KeepsEarlierLinesAndStartsANewFileEachMonth) {
    Rig r;
    r.ctx->setStopText("2007-06-06 09:15:00");
    r.ctx->showError(kReplace, "a");
    WriteHistoryLine(*r.ctx);
    r.ctx->showError(kReplace, "b");
    WriteHistoryLine(*r.ctx);
    EXPECT_EQ(r.historyBytes(), "2007-06-06 09:15:00->a\r\n2007-06-06 09:15:00->b\r\n");

    r.clock.advanceBy(std::chrono::hours(24 * 25));
    r.ctx->setStopText("2007-07-01 09:15:00");
    WriteHistoryLine(*r.ctx);
    EXPECT_EQ(r.historyBytes("2007-07.txt"), "2007-07-01 09:15:00->b\r\n");
    EXPECT_EQ(r.historyBytes(), "2007-06-06 09:15:00->a\r\n2007-06-06 09:15:00->b\r\n");
}

TEST(WriteHistoryLine, OnlyBeepsWhenTheFileCannotBeOpenedOrWritten) {
    for (const bool fullDisk : {false, true}) {
        SCOPED_TRACE(fullDisk ? "full disk" : "missing folder");
        Rig r(fullDisk ? "" : "/missing");
        if (fullDisk)
            std::filesystem::create_symlink("/dev/full", r.folder.path() / "2007-06.txt");
        r.ctx->setStopText("2007-06-06 09:15:00");
        r.ctx->showError(kReplace, "ﾚｺｰﾄﾞ受信<3件> : 正常終了 ");
        WriteHistoryLine(*r.ctx);
        EXPECT_EQ(r.display.count("beep"), 1);
        EXPECT_FALSE(std::filesystem::exists(r.folder.path() / "missing"));
        EXPECT_EQ(r.ctx->errorText(), "ﾚｺｰﾄﾞ受信<3件> : 正常終了 ");
        EXPECT_TRUE(r.messages.shown().empty());
    }
}

}  // namespace
}  // namespace karune
