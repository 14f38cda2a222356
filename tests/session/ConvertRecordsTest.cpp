// The conversion of the back-up file into the output file: the selected fields, line ends and
// both modes; what a killed append left beside the output file, which must never block or
// destroy that file; conversions into one folder taking turns. A back-up file that no conversion
// took holds the only copy of records the terminal was told were received: each one is kept
// under a name of its own, and converted once.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "session/ConvertRecords.h"
#include "session/KeptBackups.h"
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

    TempFolder dir_;
    FakeMessages messages_;
};

TEST_F(ConvertRecordsFiles, LineEndsModesAndWhatAKilledAppendLeft) {
    const std::string first((1u << 20) - 1, 'q');
    const std::string big(3u << 20, 'x');
    const struct {
        const char* name;
        std::int16_t overWrite;
        std::string before;  // "-" for no output file
        std::string backup;
        std::string after;
        const char* journal = nullptr;  // what a killed append left beside the output file
        std::size_t messages = 0;
    } cases[] = {
        {"append creates", 0, "-", "A,B,C,D,E\r\n,B,C,D\r\nA,B,,D\r\n", "A,C,D\r\n,C,D\r\nA\r\n"},
        {"empty back-up overwrite empties", 1, "old\r\n", "", ""},
        {"a last line cut short is no record", 1, "-", "A,B,C,D\r\nX,Y,Z\r", "A,C,D\r\n"},
        {"lone CR ends a line, lone LF is data", 1, "-", "A,B,C\rD\nE,F,G\r\n",
         "A,C\r\nD\nE,G\r\n"},
        {"a CR LF split across the first two reads, a line longer than the read buffer", 1, "-",
         first + "\r\n" + big + ",y,z,w\r\nlast\r\n", first + "\r\n" + big + ",z,w\r\nlast\r\n"},
        {"other OverWrite values append", 2, "old\r\n", "A\r\n", "old\r\nA\r\n"},
        // Half-width katakana, ソ and 表 (trail byte 0x5C before a comma), ①, ～, IBM rows.
        {"CP932 bytes pass as they are", 1, "-",
         "\xB1\xB2\xB3,\x83\x5C\x95\x5C,\x87\x40\x81\x60,\xED\x40\xFA\x40\r\n",
         "\xB1\xB2\xB3,\x87\x40\x81\x60,\xED\x40\xFA\x40\r\n"},
        {"journal of an output file taken away since", 0, "-", "A,B,C,D\r\n", "A,C,D\r\n", "5\n"},
        {"journal cut before its flush: nothing is cut, and the operator is told", 0,
         "A,B\r\nX,Y\r\n", "A,B,C,D\r\n", "A,B\r\nX,Y\r\nA,C,D\r\n", "", 1},
        // Left there, the journal would cut the new file at the next append.
        {"journal before a replace", 1, "A,B\r\nX,Y\r\n", "A,B,C,D\r\n", "A,C,D\r\n", "2\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.clear();
        fs::remove(out());
        if (c.before != "-")
            writeFile(out(), c.before);
        if (c.journal != nullptr)
            writeFile(dir_.path() / "save" / ".out.txt.append", c.journal);
        writeFile(back(), c.backup);
        EXPECT_TRUE(convert(c.overWrite));
        EXPECT_EQ(fileBytes(out()), c.after);
        EXPECT_EQ(messages_.shown().size(), c.messages);
        EXPECT_EQ(namesIn(dir_.path() / "save"), std::vector<std::string>{"out.txt"});
    }
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

#ifndef _WIN32
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
#endif

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

TEST_F(ConvertRecordsFiles, EachUnconvertedBackupIsKeptApartAndConvertedOnce) {
    FileSystem& files = systemFileSystem();
    const Settings settings = defaultSettings(dir_.text());

    // Two transfers in one second, neither converted.
    std::vector<fs::path> kept;
    for (const char* records : {"A,1\r\n", "B,2\r\n"}) {
        writeFile(back(), records);
        if (!kept.empty())
            fs::last_write_time(back(), fs::last_write_time(kept[0]));
        const KeptBackup k = keepUnconverted(files, back());
        ASSERT_EQ(k.error, 0);
        EXPECT_EQ(fileBytes(back()), "");  // a new one, for the next transfer
        kept.push_back(k.path);
    }
    EXPECT_EQ(kept[1].filename(), kept[0].stem().string() + "-2.txt");
    EXPECT_EQ(fileBytes(kept[0]), "A,1\r\n");
    EXPECT_EQ(fileBytes(kept[1]), "B,2\r\n");

    // The operator converts the first; doing it again finds nothing to convert twice.
    EXPECT_TRUE(ConvertBackupFile(kept[0], back(), out(), settings, messages_, files));
    EXPECT_FALSE(ConvertBackupFile(kept[0], back(), out(), settings, messages_, files));
    EXPECT_EQ(fileBytes(out()), "A,1\r\n");
    EXPECT_TRUE(fs::exists(kept[1]));

    // A back-up file the operator converted is not kept before the next transfer; that
    // transfer's, unconverted, is.
    writeFile(back(), "C,3\r\n");
    EXPECT_TRUE(ConvertBackupFile(back(), back(), out(), settings, messages_, files));
    EXPECT_EQ(keepUnconverted(files, back()).path, fs::path());
    EXPECT_EQ(fileBytes(back()), "");  // emptied for the next transfer, its records converted
    EXPECT_EQ(fileBytes(out()), "A,1\r\nC,3\r\n");
    // Converted, then deleted by hand: put back before the marker goes.
    ASSERT_EQ(markConverted(files, back()), 0);
    fs::remove(back());
    EXPECT_EQ(keepUnconverted(files, back()).error, 0);
    EXPECT_TRUE(fs::exists(back()));
    writeFile(back(), "D,4\r\n");
    EXPECT_NE(keepUnconverted(files, back()).path, fs::path());
}

}  // namespace
}  // namespace karune::test
