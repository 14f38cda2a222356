#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "session/ConvertRecords.h"
#include "session/RecordFields.h"
#include "session/TerminalHarness.h"

namespace karune::test {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSource = "Karune_modem";

FieldFlags flagsOf(std::initializer_list<int> selected) {
    FieldFlags f{};
    for (int n : selected)
        f[static_cast<std::size_t>(n - 1)] = 1;
    return f;
}

TEST(RecordFields, SelectsFieldsUpToTheFirstEmptyOne) {
    std::string numbers;  // "1,2,...,25"
    for (int i = 1; i <= 25; ++i)
        numbers += (i > 1 ? "," : "") + std::to_string(i);
    FieldFlags all{};
    all.fill(1);
    FieldFlags odd = flagsOf({2});
    odd[0] = -1;  // only exactly 1 selects
    odd[2] = 2;
    struct Case {
        FieldFlags flags;
        std::string record;
        std::string line;
    };
    const FieldFlags f134 = flagsOf({1, 3, 4});
    const Case cases[] = {
        {f134, "A,B,C,D,E", "A,C,D"},
        {f134, "A,B,,D", "A"},
        {f134, ",B,C,D", ",C,D"},
        {f134, "A", "A"},
        {f134, "", ""},
        {f134, "A,B,C", "A,C"},
        {f134, "A,B,C,D,", "A,C,D"},
        {f134, ",,,", ""},
        {all, numbers, numbers.substr(0, numbers.find(",21"))},
        {all, "A,B,,D", "A,B"},
        {all, "A B , C", "A B , C"},  // no trimming
        {odd, "A,B,C", "B"},
        {FieldFlags{}, "A,B,C", ""},
        {flagsOf({20}), "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,T,X", "T"}};
    for (const Case& c : cases) {
        std::string out;
        RecordFields(c.flags).appendConverted(c.record, out);
        EXPECT_EQ(out, c.line + "\r\n") << c.record;
    }
}

class ConvertRecordsFiles : public ::testing::Test {
protected:
    fs::path back() const { return dir_.path() / "Back.txt"; }
    fs::path out() const { return dir_.path() / "save" / "out.txt"; }
    void SetUp() override { fs::create_directories(dir_.path() / "save"); }

    bool convert(std::int16_t overWrite, const FieldFlags& flags = flagsOf({1, 3, 4})) {
        return ConvertRecords(back(), out(), overWrite, flags, messages_);
    }
    // The single message of a failure: the system's text directly followed by the source.
    void expectOneMessage(int errorNumber) {
        ASSERT_EQ(messages_.shown().size(), 1u);
        EXPECT_EQ(messages_.shown()[0].title, "");
        EXPECT_EQ(messages_.shown()[0].icon, MessageIcon::None);
        EXPECT_EQ(messages_.shown()[0].text,
                  std::generic_category().message(errorNumber) + std::string(kSource));
    }
    std::vector<std::string> saveFolderEntries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_.path() / "save"))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder dir_;
    FakeMessages messages_;
};

TEST_F(ConvertRecordsFiles, LineEndsAndModes) {
    struct Case {
        const char* name;
        std::int16_t overWrite;
        std::string before;  // "-" for no output file
        std::string backup;
        std::string after;
    };
    const Case cases[] = {
        {"AppendCreates", 0, "-", "A,B,C,D,E\r\n,B,C,D\r\n", "A,C,D\r\n,C,D\r\n"},
        {"AppendFollowsOldLines", 0, "old\r\n", "A,B,C,D\r\n", "old\r\nA,C,D\r\n"},
        {"OverwriteReplaces", 1, "old\r\n", "A,B,C,D\r\n", "A,C,D\r\n"},
        {"OverwriteCreates", 1, "-", "A\r\n", "A\r\n"},
        {"EmptyBackupAppend", 0, "old\r\n", "", "old\r\n"},
        {"EmptyBackupAppendCreates", 0, "-", "", ""},
        {"EmptyBackupOverwriteEmpties", 1, "old\r\n", "", ""},
        {"LastLineWithoutLineEnd", 1, "-", "A,B,C,D\r\nX,Y,Z", "A,C,D\r\nX,Z\r\n"},
        {"LoneCrEndsALine", 1, "-", "A,B,C\rD,E,F\r\n", "A,C\r\nD,F\r\n"},
        {"LoneLfIsData", 1, "-", "A\nB,x,C\r\n", "A\nB,C\r\n"},
        {"EmptyLines", 1, "-", "\r\n\r\nA\r\n", "\r\n\r\nA\r\n"},
        {"OtherOverWriteValuesAppend", 2, "old\r\n", "A\r\n", "old\r\nA\r\n"},
    };
    for (const Case& c : cases) {
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
    // Lines longer than the read buffer, and a CR LF split across two reads.
    std::string big(3u << 20, 'x');
    std::string backup = big + ",y,z,w\r\n" + std::string((1u << 20) - 1, 'q') + "\r\nlast";
    writeFile(back(), backup);
    ASSERT_TRUE(convert(1));
    EXPECT_EQ(fileBytes(out()),
              big + ",z,w\r\n" + std::string((1u << 20) - 1, 'q') + "\r\nlast\r\n");
}

TEST_F(ConvertRecordsFiles, MissingBackupLeavesOutputAsItWas) {
    for (std::int16_t overWrite : {0, 1}) {
        for (bool existed : {false, true}) {
            SCOPED_TRACE(testing::Message() << overWrite << existed);
            messages_.clear();
            fs::remove(back());
            fs::remove(out());
            if (existed)
                writeFile(out(), "old\r\n");
            EXPECT_FALSE(convert(overWrite));
            expectOneMessage(ENOENT);
            EXPECT_EQ(fs::exists(out()), existed);
            if (existed) {
                EXPECT_EQ(fileBytes(out()), "old\r\n");
            }
            EXPECT_EQ(saveFolderEntries().size(), existed ? 1u : 0u);
        }
    }
}

TEST_F(ConvertRecordsFiles, DeletedSaveFolder) {
    writeFile(back(), "A\r\n");
    fs::remove_all(dir_.path() / "save");
    for (std::int16_t overWrite : {0, 1}) {
        messages_.clear();
        EXPECT_FALSE(convert(overWrite));
        expectOneMessage(ENOENT);
        EXPECT_FALSE(fs::exists(dir_.path() / "save"));
    }
}

// Write permission checks that apply to root too: the calling thread gives up the capabilities
// that bypass them while the object lives.
class WithoutFileCapabilities {
public:
    WithoutFileCapabilities() {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        ::syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            reduced[cap / 32].effective &= ~(1u << (cap % 32));
        ::syscall(SYS_capset, &header_, reduced);
    }
    ~WithoutFileCapabilities() { ::syscall(SYS_capset, &header_, saved_); }

private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
};

TEST_F(ConvertRecordsFiles, ReadOnlyOutputFileIsNotTouched) {
    writeFile(back(), "A,B,C,D\r\n");
    for (std::int16_t overWrite : {0, 1}) {
        SCOPED_TRACE(overWrite);
        messages_.clear();
        writeFile(out(), "old\r\n");
        fs::permissions(out(), fs::perms::owner_read | fs::perms::group_read);
        {
            WithoutFileCapabilities restricted;
            EXPECT_FALSE(convert(overWrite));
        }
        expectOneMessage(EACCES);
        EXPECT_EQ(fileBytes(out()), "old\r\n");
        EXPECT_EQ(saveFolderEntries(), std::vector<std::string>{"out.txt"});
        fs::permissions(out(), fs::perms::owner_all);
        fs::remove(out());
    }
}

TEST_F(ConvertRecordsFiles, ReplacingKeepsPermissionsAndClearsWhatAKilledConversionLeft) {
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read;
    writeFile(dir_.path() / "save" / ".out.txt.part", "half of a killed conversion");
    writeFile(out(), "old\r\n");
    fs::permissions(out(), perms);
    writeFile(back(), "A,B,C,D\r\n");
    ASSERT_TRUE(convert(1));
    EXPECT_EQ(fileBytes(out()), "A,C,D\r\n");
    EXPECT_EQ(fs::status(out()).permissions(), perms);
    EXPECT_EQ(saveFolderEntries(), std::vector<std::string>{"out.txt"});
}

// A file size limit makes every write beyond it fail with EFBIG, as a full disk does with
// ENOSPC, at any point of the conversion.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

TEST_F(ConvertRecordsFiles, FullDiskLeavesNoPartialOrDuplicatedOutput) {
    std::string backup;
    std::string block;
    for (int i = 0; i < 120000; ++i) {  // 0x5C trail bytes of ソ and 表 among them
        backup +=
            "record " + std::to_string(i) + ",B,\x83\x5C" + std::to_string(i) + ",\x95\x5C\r\n";
        block += "record " + std::to_string(i) + ",\x83\x5C" + std::to_string(i) + ",\x95\x5C\r\n";
    }
    writeFile(back(), backup);  // written before the limit
    const std::string old = "old line 1\r\nold line 2\r\n";
    struct Case {
        std::int16_t overWrite;
        bool existed;
        rlim_t limit;
    };
    // Limits inside the first buffer, at a buffer boundary and far into the block.
    for (const Case& c : {Case{0, true, 100}, Case{0, true, 1u << 20}, Case{0, false, 1500000},
                          Case{1, true, 100}, Case{1, true, 1u << 20}, Case{1, false, 1500000}}) {
        SCOPED_TRACE(testing::Message() << c.overWrite << " " << c.existed << " " << c.limit);
        messages_.clear();
        fs::remove(out());
        if (c.existed)
            writeFile(out(), old);
        bool result = true;
        {
            FileSizeLimit limit(c.limit);
            result = convert(c.overWrite);
        }
        EXPECT_FALSE(result);
        expectOneMessage(EFBIG);
        EXPECT_EQ(fs::exists(out()), c.existed);
        if (c.existed) {
            EXPECT_TRUE(fileBytes(out()) == old);
        }
        EXPECT_EQ(saveFolderEntries().size(), c.existed ? 1u : 0u);
    }
    // The same conversion without the limit succeeds once, and appending twice gives two blocks.
    writeFile(out(), old);
    ASSERT_TRUE(convert(0));
    ASSERT_TRUE(convert(0));
    EXPECT_TRUE(fileBytes(out()) == old + block + block);
}

TEST_F(ConvertRecordsFiles, SessionConversionUsesTheCycleSettings) {
    TerminalHarness h([](Settings& s) {
        s.OverWrite = 1;
        s.Field = {};
        s.field(2) = 1;
    });
    writeFile(h.ctx().backFile, "A,B\r\nC,D\r\n");
    h.ctx().outputPath = (h.saveFolder() / "x.txt").string();
    writeFile(h.saveFolder() / "x.txt", "old\r\n");
    EXPECT_TRUE(ConvertRecords(h.ctx()));
    EXPECT_EQ(h.output("x.txt"), "B\r\nD\r\n");
    EXPECT_EQ(h.display.last("busy"), "0");

    h.ctx().outputPath = (h.saveFolder() / "gone" / "x.txt").string();
    EXPECT_FALSE(ConvertRecords(h.ctx()));
    EXPECT_EQ(h.display.last("busy"), "1");  // left for the session to reset
    ASSERT_EQ(h.messages.shown().size(), 1u);
}

}  // namespace
}  // namespace karune::test
