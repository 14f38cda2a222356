// Faults injected into whole calls, in virtual time: the line dropped at every step of the
// dialogue, noise and a babbling line, bytes that are not CP932, and file operations that fail.
// After each: nothing lost or doubled in the output file, and the next call is served in full.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

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
    ::testing::Values(
        DropCase{"ModemSilentBeforeOk",
                 [](FaultRig& r) { r.modem.queue("ATE0", {ScriptedModem::silence()}); },
                 "ATE0ﾀｲﾑｱｳﾄ,ﾓﾃﾞﾑ応答なし。", "", 0},
        DropCase{"CallerGoneDuringTheRingWait",
                 [](FaultRig& r) { r.modem.queue("ATA", {ScriptedModem::reply("NO CARRIER")}); },
                 "ATAﾀｲﾑｱｳﾄ,CONNECT以外受信! ", "", 0},
        DropCase{"CarrierLostRightAfterAnswer",
                 [](FaultRig& r) { r.firstCallFault = fault(0, kCarrier); },
                 "ENQ送信/ﾌｧｲﾙ名受信 : ﾓﾃﾞﾑ通信ｴﾗｰ", "CAN", 0},
        DropCase{"SilentDuringTheClockSetting",
                 [](FaultRig& r) {
                     r.settings.TimeAdjust = "1";
                     r.firstCallFault = fault(0, kSilence);
                     // The clock setting has no limit of its own: the operator stops it.
                     r.onLine = [&r, seen = 0](const std::string& line) mutable {
                         if (line.starts_with("TW") && ++seen == 5)
                             r.flags.requestStop();
                     };
                 },
                 "［ｽﾄｯﾌﾟﾎﾞﾀﾝが押されました］", "CAN", 0},
        DropCase{"SilentAfterTheFileNameRequest",
                 [](FaultRig& r) { r.firstCallFault = fault(0, kSilence); },
                 "ENQ送信/ﾌｧｲﾙ名受信 : ﾀｰﾐﾅﾙ応答なし。", "CAN", 0},
        DropCase{"CarrierLostDuringTheFileName",
                 [](FaultRig& r) {
                     r.settings.TimeAdjust = "1";
                     r.firstCallFault = fault(1, kCarrier);
                 },
                 "ENQ送信/ﾌｧｲﾙ名受信 : ﾓﾃﾞﾑ通信ｴﾗｰ", "CAN", 0},
        DropCase{"CarrierLostAmongTheRecords",
                 [](FaultRig& r) { r.firstCallFault = fault(3, kCarrier); },
                 "ﾚｺｰﾄﾞ受信 : ﾓﾃﾞﾑ通信ｴﾗｰ", "CAN", 2},
        DropCase{"SilentAmongTheRecords",
                 [](FaultRig& r) { r.firstCallFault = fault(3, kSilence); },
                 "ﾚｺｰﾄﾞ受信 : ﾀｲﾑｱｳﾄ ｴﾗｰ", "CAN", 2},
        DropCase{"SilentInsteadOfEnd",
                 [](FaultRig& r) { r.firstCallFault = fault(1 + kRecords, kSilence); },
                 "ﾚｺｰﾄﾞ受信 : ﾀｲﾑｱｳﾄ ｴﾗｰ", "CAN", static_cast<std::size_t>(kRecords)},
        DropCase{"CarrierLostInsteadOfEnd",
                 [](FaultRig& r) { r.firstCallFault = fault(1 + kRecords, kCarrier); },
                 "ﾚｺｰﾄﾞ受信 : ﾓﾃﾞﾑ通信ｴﾗｰ", "CAN", static_cast<std::size_t>(kRecords)}),
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

struct BytesCase {
    const char* name;
    int protocol;
};

// Test names in ctest and failure messages show the case by its name.
void PrintTo(const BytesCase& c, std::ostream* os) {
    *os << c.name;
}

class NotCp932 : public ::testing::TestWithParam<BytesCase> {};

TEST_P(NotCp932, RecordsAreStoredByteForByte) {
    const std::vector<std::string> odd = {std::string("\x81\x20lead,space", 11),
                                          "\xFF\xFE,\xA0,\xFD",
                                          "\x85\x40,unassigned",
                                          "lone\x80,x",
                                          "\xEF\xBF\xBD,utf8",
                                          "\x82\xA0\x82,\x5C"};
    FaultRig r(odd);
    r.healthy.protocol = GetParam().protocol;
    r.settings.Protocol = static_cast<std::int16_t>(GetParam().protocol);
    r.run();

    ASSERT_EQ(r.ends.size(), 2u);
    EXPECT_EQ(r.ends[0].finalWord, "ACK") << r.ends[0].error;
    EXPECT_EQ(r.ends[0].backup, allLines(odd));
    EXPECT_EQ(r.ends[0].output, allLines(odd));
    expectNextCallServed(r, allLines(odd));
}

INSTANTIATE_TEST_SUITE_P(Faults, NotCp932,
                         ::testing::Values(BytesCase{"Framed", 0}, BytesCase{"PlainLines", 1}),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace karune::test
