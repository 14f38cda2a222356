// Faults injected into whole calls, in virtual time: the line dropped among the records, noise and
// a babbling line, and file operations that fail. The exchange and the cycle tests own every step's
// limits; these check what only a whole session shows: nothing lost or doubled in the output file,
// and the next call served in full.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "FaultRig.h"
#include "link/Cp932.h"
#include "link/LineIo.h"
#include "support/FileBytes.h"

namespace karune::test {
namespace {

std::string cp932(std::string_view utf8) {
    return utf8ToCp932(utf8).value_or("<not CP932>");
}

std::vector<std::string> records() {
    return {cp932("ｶﾀｶﾅ,ﾃｽﾄ,001"), cp932("ソフト,表示,①番"), cp932("C:\\DATA,表,ソ"),
            "plain,ascii,line"};
}

std::string lines(const std::vector<std::string>& records, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count && i < records.size(); ++i)
        out += records[i] + "\r\n";
    return out;
}

std::string allLines(const std::vector<std::string>& records) {
    return lines(records, records.size());
}

// The cycle after the faulty one served a whole upload, and the output holds it exactly once.
void expectNextCallServed(const FaultRig& r, const std::string& outputBefore) {
    ASSERT_EQ(r.ends.size(), 2u);
    EXPECT_EQ(r.ends[1].finalWord, "ACK");
    EXPECT_EQ(r.ends[1].backup, allLines(r.healthy.records));
    EXPECT_EQ(r.ends[1].output, outputBefore + allLines(r.healthy.records));
    EXPECT_NE(r.ends[1].error.find("正常終了"), std::string::npos) << r.ends[1].error;
}

struct DropCase {
    const char* name;
    std::function<void(FaultRig&)> setUp;
    std::string error;      // part of the error label when the first cycle ends
    std::string finalWord;  // "" when the first cycle never connected
    std::size_t backedUp;   // records in the back-up file after the first cycle
};

// Test names in ctest and failure messages show the case by its name.
void PrintTo(const DropCase& c, std::ostream* os) {
    *os << c.name;
}

class LineDrop : public ::testing::TestWithParam<DropCase> {};

TEST_P(LineDrop, LosesNothingAndServesTheNextCall) {
    const DropCase& c = GetParam();
    FaultRig r(records());
    c.setUp(r);
    r.run();

    ASSERT_EQ(r.ends.size(), 2u) << r.display.last("error");
    EXPECT_NE(r.ends[0].error.find(c.error), std::string::npos) << r.ends[0].error;
    EXPECT_EQ(r.ends[0].finalWord, c.finalWord);
    EXPECT_EQ(r.ends[0].backup.value_or(""), lines(r.healthy.records, c.backedUp));
    EXPECT_EQ(r.ends[0].output, std::nullopt);
    expectNextCallServed(r, "");
}

LineFault fault(int linesAnswered, LineFault::Kind kind) {
    return LineFault{linesAnswered, kind};
}

constexpr auto kSilence = LineFault::Kind::Silence;
constexpr auto kCarrier = LineFault::Kind::Carrier;
const int kRecords = static_cast<int>(records().size());

INSTANTIATE_TEST_SUITE_P(
    Faults, LineDrop,
    ::testing::Values(DropCase{"CarrierLostAmongTheRecords",
                               [](FaultRig& r) { r.firstCallFault = fault(3, kCarrier); },
                               "ﾚｺｰﾄﾞ受信 : ﾓﾃﾞﾑ通信ｴﾗｰ", "CAN", 2},
                      DropCase{
                          "SilentInsteadOfEnd",
                          [](FaultRig& r) { r.firstCallFault = fault(1 + kRecords, kSilence); },
                          "ﾚｺｰﾄﾞ受信 : ﾀｲﾑｱｳﾄ ｴﾗｰ", "CAN", static_cast<std::size_t>(kRecords)}),
    [](const auto& p) { return std::string(p.param.name); });

struct NoiseCase {
    const char* name;
    std::string noise;
};

// Test names in ctest and failure messages show the case by its name.
void PrintTo(const NoiseCase& c, std::ostream* os) {
    *os << c.name;
}

class NoiseBurst : public ::testing::TestWithParam<NoiseCase> {};

TEST_P(NoiseBurst, SpoilsEachRecordOnceAndTheRetryStoresItOnce) {
    FaultRig r(records());
    r.firstCallNoise = GetParam().noise;
    r.run();

    ASSERT_EQ(r.ends.size(), 2u);
    EXPECT_EQ(r.naksInFirstCall, kRecords);
    EXPECT_EQ(r.ends[0].finalWord, "ACK");
    EXPECT_EQ(r.ends[0].output, allLines(r.healthy.records));
    expectNextCallServed(r, allLines(r.healthy.records));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, NoiseBurst,
    ::testing::Values(NoiseCase{"ControlAndHighBytes", std::string("\x00\x11\x13\xFF\x7F\x1B", 6)},
                      // Looks like a repeat of the frame before, as a late duplicate glued to
                      // the next frame would: it must not pass for one.
                      NoiseCase{"BeginsLikeARepeatOfTheFrameBefore", "^0A,B*00"},
                      NoiseCase{"HalfADoubleByteCharacter", "\x81"},
                      NoiseCase{"LineFeeds", "\n\n\n"}),
    [](const auto& p) { return std::string(p.param.name); });

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

TEST(Faults, BabblingLineAmongTheRecordsEndsTheCallWithBoundedMemory) {
    FaultRig r(records());
    r.firstCallFault = fault(3, LineFault::Kind::Babble);
    const long before = residentKiB();
    r.run();
    const long after = residentKiB();

    ASSERT_EQ(r.ends.size(), 2u);
    EXPECT_EQ(r.ends[0].finalWord, "CAN");
    EXPECT_NE(r.ends[0].error.find("ﾚｺｰﾄﾞ受信 : "), std::string::npos) << r.ends[0].error;
    EXPECT_EQ(r.ends[0].backup, lines(r.healthy.records, 2));
    EXPECT_EQ(r.ends[0].output, std::nullopt);
    // Six cut replies at most, each no longer than the reply limit.
    EXPECT_GE(r.babblingLine.babbled(), LineIo::kMaxReply);
    EXPECT_LE(r.babblingLine.babbled(), 7 * (LineIo::kMaxReply + BabblingLine::kChunk));
    EXPECT_LT(after - before, 64 * 1024) << "resident memory " << before << " -> " << after;
    expectNextCallServed(r, "");
}

namespace fs = std::filesystem;

void linkToFullDisk(const fs::path& where) {
    fs::create_symlink("/dev/full", where);
}

struct FileFaultCase {
    const char* name;
    std::function<void(FaultRig&)> setUp;
    std::function<void(FaultRig&)> heal;  // before the second call
    std::string error;                    // part of the error label after the first call
    std::string finalWord;                // to the terminal in the first call
    bool firstStored;                     // the first call's records reached the output file
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
    r.afterFirstCycle = [&] { c.heal(r); };
    c.setUp(r);
    r.run();

    ASSERT_EQ(r.ends.size(), 2u) << r.display.last("error");
    EXPECT_NE(r.ends[0].error.find(c.error), std::string::npos) << r.ends[0].error;
    EXPECT_EQ(r.ends[0].finalWord, c.finalWord);
    const std::string afterFirst = c.firstStored ? all : "";
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

// One fault per file of the call; the exchange and conversion tests own the other ways to fail.
INSTANTIATE_TEST_SUITE_P(
    Faults, FileFault,
    ::testing::Values(
        FileFaultCase{"BackupOnAFullDisk", [](FaultRig& r) { linkToFullDisk(r.backFile); },
                      [](FaultRig& r) { fs::remove(r.backFile); }, "> BackFile#1WR ", "CAN", false,
                      0, 2},
        // The log never stops a transfer.
        FileFaultCase{"LogOnAFullDisk", [](FaultRig& r) { linkToFullDisk(r.out / "LOG.TXT"); },
                      [](FaultRig&) {}, "正常終了", "ACK", true, 0, 2},
        FileFaultCase{"OutputOnAFullDisk", [](FaultRig& r) { linkToFullDisk(r.output()); },
                      [](FaultRig& r) { fs::remove(r.output()); }, "[異常終了]", "CAN", false, 1,
                      2},
        FileFaultCase{
            "HistoryOnAFullDisk", [](FaultRig& r) { linkToFullDisk(r.out / "2007-06.txt"); },
            [](FaultRig& r) { fs::remove(r.out / "2007-06.txt"); }, "正常終了", "ACK", true, 0, 1}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace karune::test
