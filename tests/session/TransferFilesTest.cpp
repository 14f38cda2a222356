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

TEST(TransferFiles, FileErrorsEndTheTransferWithoutAck) {
    struct Case {
        const char* name;
        const char* backFile;  // empty: the usual one
        bool programFolderMissing;
        bool saveFolderMissing;
        std::string error;  // after the time stamp
    };
    const Case cases[] = {
        {"backup write error", "/dev/full", false, false, "> BackFile#1WR " + detail(ENOSPC)},
        {"backup cannot be opened", "", true, false, "> BackFile " + detail(ENOENT)},
        {"log cannot be opened", "", false, true, "> LogFile" + detail(ENOENT)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TerminalHarness h({}, c.backFile);
        if (c.programFolderMissing)
            fs::remove_all(h.programFolder());
        if (c.saveFolderMissing)
            fs::remove_all(h.saveFolder());
        h.script = {{"VOL", "^#abc@3*44"}, {"ACK", "^0abc*DE"}, {"ACK", "END"}};
        h.run();

        EXPECT_EQ(h.heard, (std::vector<std::string>{"VOL", "ACK"}));
        const std::string error = h.display.last("error");
        EXPECT_EQ(error.substr(std::min<std::size_t>(19, error.size())), c.error);
        EXPECT_EQ(h.display.count("beep"), 1);
        EXPECT_EQ(h.ctx().recordCounter, 0);
        EXPECT_FALSE(h.ctx().completed);
        EXPECT_FALSE(fs::exists(h.saveFolder() / "abc.txt"));
        if (c.programFolderMissing) {
            EXPECT_FALSE(fs::exists(h.saveFolder() / "LOG.TXT"));
        }
        if (std::string(c.backFile) == "/dev/full") {
            EXPECT_EQ(h.display.last("status"), "\r\nBackFile#1WR " + detail(ENOSPC));
        }
    }
}

TEST(TransferFiles, ALogThatCannotBeWrittenDoesNotStopTheTransfer) {
    TerminalHarness h;
    fs::create_symlink("/dev/full", h.saveFolder() / "LOG.TXT");
    h.script = {{"VOL", "^#abc@3*44"}, {"ACK", "^0abc*DE"}, {"ACK", "END"}};
    h.run();
    EXPECT_EQ(h.heard, (std::vector<std::string>{"VOL", "ACK", "ACK"}));
    EXPECT_TRUE(h.ctx().completed);
    EXPECT_EQ(h.backup(), "abc\r\n");
    EXPECT_EQ(h.output("abc.txt"), "abc\r\n");
}

TEST(TransferFiles, ANewTransferEmptiesBackupAndLogAndCountsFromZero) {
    TerminalHarness h;
    writeFile(h.ctx().backFile, "stale\r\n");
    writeFile(h.saveFolder() / "LOG.TXT", "stale\r\n");
    h.ctx().recordCounter = 7;  // left by the previous transfer of an automatic cycle
    h.script = {{"VOL", "^#abc@3*44"}, {"ACK", "END"}};
    h.run();
    EXPECT_EQ(h.backup(), "");
    EXPECT_EQ(h.logText(),
              "\"2007-06-06\",\"09:15:00\",\" 0\",\"^#abc@3*44\"\r\n"
              "\"2007-06-06\",\"09:15:00\",\" 0\",\"END\"\r\n");
}

TEST(TransferFiles, LogKeepsQuotesEmptyStepsAndCountsBeforeTheLine) {
    TerminalHarness h([](Settings& s) { s.Protocol = 1; });
    h.script = {
        {"VOL", "^#abc@3*44"}, {"ACK", ""}, {"NAK", "say \"hi\""}, {"ACK", "x"}, {"ACK", "END"}};
    h.run();
    const std::string log = h.logText();
    EXPECT_NE(log.find("\",\" 0\",\"\"\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(",\" 0\",\"say \"hi\"\"\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(",\" 1\",\"x\"\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(",\" 2\",\"END\"\r\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace karune::test
