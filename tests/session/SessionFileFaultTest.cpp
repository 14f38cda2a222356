// File operations of a call that fail: a full disk, a path below a regular file, a folder removed
// during the call, a file-size limit. The tests run as root, so write permissions would not stop
// anything; these faults do. After each, no record is lost or doubled and the next call is served.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FaultRig.h"
#include "link/Cp932.h"
#include "support/FileBytes.h"

namespace karune::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> records() {
    return {utf8ToCp932("ｶﾀｶﾅ,ﾃｽﾄ,001").value_or(""), utf8ToCp932("ソフト,表示,①番").value_or(""),
            "plain,ascii,line"};
}

std::string allLines(const std::vector<std::string>& records) {
    std::string out;
    for (const std::string& r : records)
        out += r + "\r\n";
    return out;
}

// Writes beyond `bytes` fail with EFBIG instead of raising SIGXFSZ, until restore() or the end.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { restore(); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    void restore() {
        if (restored_)
            return;
        restored_ = true;
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        ::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    sighandler_t previousHandler_ = SIG_DFL;
    bool restored_ = false;
};

void linkToFullDisk(const fs::path& where) {
    fs::create_symlink("/dev/full", where);
}

// Removes the save folder when the PC sends `line` for the `occurrence`-th time.
std::function<void(const std::string&)> removeFolderAt(FaultRig& r, std::string line,
                                                       int occurrence) {
    return [&r, line, occurrence, seen = 0](const std::string& sent) mutable {
        if (sent == line && ++seen == occurrence)
            fs::remove_all(r.out);
    };
}

struct FileFaultCase {
    const char* name;
    std::function<void(FaultRig&)> setUp;
    std::function<void(FaultRig&)> heal;  // before the second call
    std::string error;                    // part of the error label after the first call
    std::string finalWord;                // to the terminal in the first call
    bool firstStored;                     // the first call's records reached the output file
    std::string outputBefore;             // the output file before the first call; "" none
    std::size_t messages;                 // operator messages (failed conversions)
    std::size_t historyLines;             // in the month's history file at the end
};

// Test names in ctest and failure messages show the case by its name.
void PrintTo(const FileFaultCase& c, std::ostream* os) {
    *os << c.name;
}

class FileFault : public ::testing::TestWithParam<FileFaultCase> {};

TEST_P(FileFault, LosesNothingAndServesTheNextCall) {
    const FileFaultCase& c = GetParam();
    FaultRig r(records());
    const std::string all = allLines(r.healthy.records);
    if (!c.outputBefore.empty())
        writeFile(r.output(), c.outputBefore);
    r.afterFirstCycle = [&] { c.heal(r); };
    c.setUp(r);  // may take the hook over
    r.run();

    ASSERT_EQ(r.ends.size(), 2u) << r.display.last("error");
    EXPECT_NE(r.ends[0].error.find(c.error), std::string::npos) << r.ends[0].error;
    EXPECT_EQ(r.ends[0].finalWord, c.finalWord);
    const std::string afterFirst = c.outputBefore + (c.firstStored ? all : "");
    if (afterFirst.empty())
        EXPECT_EQ(r.ends[0].output, std::nullopt);
    else
        EXPECT_EQ(r.ends[0].output, afterFirst);
    EXPECT_EQ(r.messages.shown().size(), c.messages);

    EXPECT_EQ(r.ends[1].finalWord, "ACK") << r.ends[1].error;
    EXPECT_EQ(r.ends[1].backup, all);
    EXPECT_EQ(regularFileBytes(r.output()), afterFirst + all);
    const std::string history = regularFileBytes(r.out / "2007-06.txt").value_or("");
    EXPECT_EQ(static_cast<std::size_t>(std::count(history.begin(), history.end(), '\n')),
              c.historyLines)
        << history;
}

auto nothing = [](FaultRig&) {};

INSTANTIATE_TEST_SUITE_P(
    Faults, FileFault,
    ::testing::Values(
        FileFaultCase{"BackupOnAFullDisk", [](FaultRig& r) { linkToFullDisk(r.backFile); },
                      [](FaultRig& r) { fs::remove(r.backFile); }, "> BackFile#1WR ", "CAN", false,
                      "", 0, 2},
        FileFaultCase{"BackupBelowARegularFile",
                      [](FaultRig& r) {
                          writeFile(r.root.path() / "blocker", "a file, not a folder");
                          r.backFile = r.root.path() / "blocker" / "Back.txt";
                      },
                      [](FaultRig& r) {
                          fs::remove(r.root.path() / "blocker");
                          fs::create_directory(r.root.path() / "blocker");
                      },
                      "> BackFile ", "CAN", false, "", 0, 2},
        // The log never stops a transfer.
        FileFaultCase{"LogOnAFullDisk", [](FaultRig& r) { linkToFullDisk(r.out / "LOG.TXT"); },
                      nothing, "正常終了", "ACK", true, "", 0, 2},
        FileFaultCase{"SaveFolderGoneBeforeTheLogOpens",
                      [](FaultRig& r) { r.onLine = removeFolderAt(r, "VOL", 1); },
                      [](FaultRig& r) { fs::create_directories(r.out); }, "> LogFile", "CAN", false,
                      "", 0, 1},
        FileFaultCase{"OutputOnAFullDisk", [](FaultRig& r) { linkToFullDisk(r.output()); },
                      [](FaultRig& r) { fs::remove(r.output()); }, "[異常終了]", "CAN", false, "",
                      1, 2},
        FileFaultCase{"SaveFolderGoneAmongTheRecords",
                      [](FaultRig& r) { r.onLine = removeFolderAt(r, "ACK", 2); },
                      [](FaultRig& r) { fs::create_directories(r.out); }, "[異常終了]", "CAN",
                      false, "", 1, 1},
        FileFaultCase{"HistoryOnAFullDisk",
                      [](FaultRig& r) { linkToFullDisk(r.out / "2007-06.txt"); },
                      [](FaultRig& r) { fs::remove(r.out / "2007-06.txt"); }, "正常終了", "ACK",
                      true, "", 0, 1},
        FileFaultCase{"HistoryNameTakenByAFolder",
                      [](FaultRig& r) { fs::create_directory(r.out / "2007-06.txt"); },
                      [](FaultRig& r) { fs::remove(r.out / "2007-06.txt"); }, "正常終了", "ACK",
                      true, "", 0, 1},
        FileFaultCase{"OutputBeyondTheFileSizeLimit",
                      [](FaultRig& r) {
                          auto limit = std::make_shared<FileSizeLimit>(4096);
                          r.afterFirstCycle = [limit] { limit->restore(); };
                      },
                      nothing, "[異常終了]", "CAN", false, std::string(4090, 'x') + "\r\n", 1, 2}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace karune::test
