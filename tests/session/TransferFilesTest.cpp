#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

#include "session/TerminalHarness.h"

namespace karune::test {
namespace {

namespace fs = std::filesystem;

std::string detail(int err) {
    return " " + std::to_string(err) + ":" + std::generic_category().message(err);
}

std::string afterStamp(const std::string& error) {
    // "yyyy-mm-dd-hh:mm:ss" is 19 characters.
    return error.size() >= 19 ? error.substr(19) : error;
}

TEST(TransferFiles, BackupWriteErrorEndsTheTransferWithoutAck) {
    TerminalHarness h({}, "/dev/full");
    h.script = {{"VOL", "^#abc@3*44"}, {"ACK", "^0abc*DE"}, {"ACK", "END"}};
    h.run();

    EXPECT_EQ(h.heard, (std::vector<std::string>{"VOL", "ACK"}));
    EXPECT_EQ(afterStamp(h.display.error), "> BackFile#1WR " + detail(ENOSPC));
    EXPECT_EQ(h.display.status, "\r\nBackFile#1WR " + detail(ENOSPC));
    EXPECT_EQ(h.display.beeps, 1);
    EXPECT_EQ(h.ctx().recordCounter, 0);
    EXPECT_FALSE(h.ctx().completed);
    EXPECT_FALSE(fs::exists(h.saveFolder() / "abc.txt"));
}

TEST(TransferFiles, OpenErrors) {
    struct Case {
        const char* name;
        bool backupFolderMissing;
        bool saveFolderMissing;
        std::string message;
    };
    const Case cases[] = {
        {"BackupCannotBeOpened", true, false, "> BackFile " + detail(ENOENT)},
        {"LogCannotBeOpened", false, true, "> LogFile" + detail(ENOENT)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TerminalHarness h;
        if (c.backupFolderMissing)
            fs::remove_all(h.programFolder());
        if (c.saveFolderMissing)
            fs::remove_all(h.saveFolder());
        h.script = {{"VOL", "^#abc@3*44"}, {"ACK", "^0abc*DE"}};
        h.run();
        EXPECT_EQ(h.heard, (std::vector<std::string>{"VOL", "ACK"}));
        EXPECT_EQ(afterStamp(h.display.error), c.message);
        EXPECT_EQ(h.display.beeps, 1);
        EXPECT_FALSE(h.ctx().completed);
        if (c.backupFolderMissing) {
            EXPECT_FALSE(fs::exists(h.saveFolder() / "LOG.TXT"));
        }
    }
}

TEST(TransferFiles, SecondTransferEmptiesBackupAndLog) {
    TerminalHarness first;
    writeBytes(first.ctx().backFile, "stale\r\n");
    writeBytes(first.saveFolder() / "LOG.TXT", "stale\r\n");
    first.script = {{"VOL", "^#abc@3*44"}, {"ACK", "END"}};
    first.run();
    EXPECT_EQ(first.backup(), "");
    EXPECT_EQ(first.logText(),
              "\"2007-06-06\",\"09:15:00\",\" 0\",\"^#abc@3*44\"\r\n"
              "\"2007-06-06\",\"09:15:00\",\" 0\",\"END\"\r\n");
}

TEST(TransferFiles, FollowUpTransferLogsFromZero) {
    TerminalHarness h;
    h.ctx().recordCounter = 7;  // left by the previous transfer of an automatic cycle
    h.script = {{"VOL", "^#abc@3*44"}, {"ACK", "END"}};
    h.run();
    EXPECT_EQ(h.logText().substr(0, 41), "\"2007-06-06\",\"09:15:00\",\" 0\",\"^#abc@3*44\"");
}

TEST(TransferFiles, LogKeepsQuotesAndCountsBeforeTheLine) {
    TerminalHarness h([](Settings& s) { s.Protocol = 1; });
    h.script = {{"VOL", "^#abc@3*44"}, {"ACK", "say \"hi\""}, {"ACK", "x"}, {"ACK", "END"}};
    h.run();
    const std::string log = h.logText();
    EXPECT_NE(log.find(",\" 0\",\"say \"hi\"\"\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(",\" 1\",\"x\"\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(",\" 2\",\"END\"\r\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace karune::test
