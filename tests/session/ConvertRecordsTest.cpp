#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "session/ConvertRecords.h"
#include "support/FakeMessages.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace karune::test {
namespace {

namespace fs = std::filesystem;

FieldFlags flagsOf(std::initializer_list<int> selected) {
    FieldFlags f{};
    for (int n : selected)
        f[static_cast<std::size_t>(n - 1)] = 1;
    return f;
}

class ConvertRecordsFiles : public ::testing::Test {
protected:
    fs::path back() const { return dir_.path() / "Back.txt"; }
    fs::path out() const { return dir_.path() / "save" / "out.txt"; }
    void SetUp() override { fs::create_directories(dir_.path() / "save"); }

    // True when it succeeded.
    bool convert(std::int16_t overWrite, const FieldFlags& flags = flagsOf({1, 3, 4})) {
        return convertRecordsInto(back(), out(), overWrite, flags, messages_) == 0;
    }
    std::vector<std::string> saveFolderEntries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_.path() / "save"))
            if (e.path().filename() != kTurnFileName)
                names.push_back(e.path().filename().string());
        return names;
    }

    TempFolder dir_;
    FakeMessages messages_;
};

TEST_F(ConvertRecordsFiles, LineEndsAndModes) {
    const struct {
        const char* name;
        std::int16_t overWrite;
        std::string before;  // "-" for no output file
        std::string backup;
        std::string after;
    } cases[] = {
        {"append creates", 0, "-", "A,B,C,D,E\r\n,B,C,D\r\nA,B,,D\r\n", "A,C,D\r\n,C,D\r\nA\r\n"},
        {"append follows old lines", 0, "old\r\n", "A,B,C,D\r\n", "old\r\nA,C,D\r\n"},
        {"overwrite replaces", 1, "old\r\n", "A,B,C,D\r\n", "A,C,D\r\n"},
        {"empty back-up overwrite empties", 1, "old\r\n", "", ""},
        {"a last line cut short is no record", 1, "-", "A,B,C,D\r\nX,Y,Z\r", "A,C,D\r\n"},
        {"lone CR ends a line, lone LF is data", 1, "-", "A,B,C\rD\nE,F,G\r\n",
         "A,C\r\nD\nE,G\r\n"},
        {"other OverWrite values append", 2, "old\r\n", "A\r\n", "old\r\nA\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(out());
        if (c.before != "-")
            writeFile(out(), c.before);
        writeFile(back(), c.backup);
        EXPECT_TRUE(convert(c.overWrite));
        EXPECT_EQ(fileBytes(out()), c.after);
        EXPECT_TRUE(messages_.shown().empty());
        EXPECT_EQ(saveFolderEntries(), std::vector<std::string>{"out.txt"});
    }
}

TEST_F(ConvertRecordsFiles, LongLinesAcrossReadChunks) {
    // A CR LF split across the first two reads, and a line longer than the read buffer.
    const std::string first((1u << 20) - 1, 'q');
    const std::string big(3u << 20, 'x');
    writeFile(back(), first + "\r\n" + big + ",y,z,w\r\nlast\r\n");
    ASSERT_TRUE(convert(1));
    EXPECT_EQ(fileBytes(out()), first + "\r\n" + big + ",z,w\r\nlast\r\n");
}

TEST_F(ConvertRecordsFiles, RemovedSaveFolderFailsInBothModes) {
    writeFile(back(), "A\r\n");
    fs::remove_all(dir_.path() / "save");
    for (std::int16_t overWrite : {0, 1}) {
        messages_.clear();
        EXPECT_FALSE(convert(overWrite));
        ASSERT_EQ(messages_.shown().size(), 1u);
        EXPECT_EQ(messages_.shown()[0].text,
                  std::generic_category().message(ENOENT) + "Karune_modem");
        EXPECT_FALSE(fs::exists(dir_.path() / "save"));
    }
}

// The operator write-protected the output file: a replace refuses it. Checked as an ordinary
// user, since root ignores the protection.
TEST_F(ConvertRecordsFiles, ReplaceRefusesAWriteProtectedOutput) {
    writeFile(back(), "A,B,C,D\r\n");
    writeFile(out(), "protected\r\n");
    fs::permissions(out(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(dir_.path() / "save", fs::perms::all);
    const pid_t child = ::fork();
    if (child == 0) {
        const bool user = ::getuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
        ::_exit(user && !convert(1) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(fileBytes(out()), "protected\r\n");
}

// Two programs converting into one folder: while the other one holds the folder's turn (its
// append under way, its journal beside the file) this one waits, and takes that journal for
// nothing.
TEST_F(ConvertRecordsFiles, ConversionsIntoOneFolderTakeTurns) {
    const fs::path journal = dir_.path() / "save" / ".out.txt.append";
    writeFile(out(), "A,B\r\nlive\r\n");
    writeFile(journal, "5\n");
    writeFile(back(), "E,F,G,H\r\n");
    FileSystem::Turn other = systemFileSystem().takeTurn(dir_.path() / "save");
    ASSERT_TRUE(other.turn);
    std::thread waiting([&] { EXPECT_TRUE(convert(0)); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(fileBytes(out()), "A,B\r\nlive\r\n");
    fs::remove(journal);  // the other one finishes
    other.turn.reset();
    waiting.join();
    EXPECT_EQ(fileBytes(out()), "A,B\r\nlive\r\nE,G,H\r\n");
}

}  // namespace
}  // namespace karune::test
