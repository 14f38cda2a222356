// Whole calls: karune-modem in headless mode on a pseudo-terminal, with karune-sim or the test
// itself playing the modem and the terminal.

#include <gtest/gtest.h>

#include <signal.h>

#include <string>
#include <vector>

#include "TerminalFrames.h"
#include "integration/IntegrationSupport.h"
#include "integration/PtyPeer.h"

namespace karune::test {
namespace {

using modemsim::fileNameFrame;
using modemsim::recordFrame;
using modemsim::sequenceCharacter;

const std::string kStampShape = "dddd-dd-dd dd:dd:dd->dddd-dd-dd-dd:dd:dd>";
constexpr std::size_t kLogStampLength = 24;  // "yyyy-mm-dd","hh:mm:ss",
const std::string kCallWaitStatus = "status: ﾓﾃﾞﾑ着信(RING)待ち ... ";

// Half-width katakana, the 0x5C trail bytes of ソ and 表, the NEC special ① (0x87 0x40), and a
// plain backslash.
std::vector<std::string> japaneseRecords() {
    return {cp932("ｶﾀｶﾅ,ﾃｽﾄ,001"), cp932("ソフト,表示,①番"), cp932("C:\\DATA,表,ソ"),
            cp932("ﾊﾝｶｸ ｽﾍﾟｰｽ,全角　空白,999")};
}

std::string completionText(std::size_t announced) {
    return cp932("ﾚｺｰﾄﾞ受信<" + std::to_string(announced) + "件> : 正常終了 ");
}

// The transfer log of an upload without faults: the file-name frame, each record as it travelled,
// then "END", with the record counter before each line.
std::vector<std::string> expectedLog(const std::vector<std::string>& records, int protocol,
                                     int crcType) {
    const std::string shape = "\"dddd-dd-dd\",\"dd:dd:dd\",";
    std::vector<std::string> lines{
        shape + "\" 0\",\"" + fileNameFrame("DATA", static_cast<int>(records.size()), crcType) +
        "\""};
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string sent =
            protocol == 1 ? records[i] : recordFrame(sequenceCharacter(i), records[i], crcType);
        lines.push_back(shape + "\" " + std::to_string(i) + "\",\"" + sent + "\"");
    }
    lines.push_back(shape + "\" " + std::to_string(records.size()) + "\",\"END\"");
    return lines;
}

std::vector<std::string> maskedLines(const std::string& bytes, std::size_t count) {
    std::vector<std::string> lines = splitCrLf(bytes);
    for (std::string& line : lines)
        line = maskDigits(line, count);
    return lines;
}

// Bytes that are not CP932 at all: a lead byte before a space, bytes no table assigns, a lone
// 0x80, UTF-8.
std::vector<std::string> oddRecords() {
    return {std::string("\x81\x20lead,space", 11), "\xFF\xFE,\xA0,\xFD", "\x85\x40,unassigned",
            "lone\x80,x", "\xEF\xBF\xBD,utf8"};
}

struct ProtocolCase {
    const char* name;
    int protocol;
    int crcType;
    std::vector<std::string> (*records)() = japaneseRecords;
};

// Test names in ctest and failure messages show the case by its name.
void PrintTo(const ProtocolCase& c, std::ostream* os) {
    *os << c.name;
}

class CompleteCall : public ::testing::TestWithParam<ProtocolCase> {};

TEST_P(CompleteCall, StoresEveryRecordByteForByte) {
    const ProtocolCase c = GetParam();
    Home home;
    SettingsLine settings;
    settings.protocol = c.protocol;
    settings.crcType = c.crcType;
    home.write(settings);
    const std::vector<std::string> records = c.records();
    const auto recordsFile = home.scratch.path() / "records.txt";
    writeFile(recordsFile, crlfLines(records));

    Simulator sim = startSimulator({"--records", recordsFile.string(), "--protocol",
                                    std::to_string(c.protocol), "--crc", std::to_string(c.crcType),
                                    "--ring-delay", "1", "--timeout", "60"});
    ASSERT_FALSE(sim.ptyPath.empty()) << sim.process->errorOutput();
    auto modem = startHeadless(home, sim.ptyPath);

    EXPECT_EQ(modem->waitForExit(60s), 0) << modem->errorOutput();
    EXPECT_EQ(sim.process->nextLine(10s),
              "call 1: ACK, " + std::to_string(records.size()) + " records acknowledged");
    EXPECT_EQ(sim.process->waitForExit(10s), 0);

    EXPECT_EQ(fileBytes(home.backFile()), crlfLines(records));
    EXPECT_EQ(fileBytes(home.out / "DATA.txt"), crlfLines(records));
    EXPECT_EQ(maskedLines(fileBytes(home.out / "LOG.TXT"), kLogStampLength),
              expectedLog(records, c.protocol, c.crcType));
    const auto history = historyFiles(home.out);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(maskDigits(fileBytes(history[0]), kStampShape.size()),
              kStampShape + completionText(records.size()) + ":" +
                  (home.out / "DATA.txt").string() + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Integration, CompleteCall,
                         ::testing::Values(ProtocolCase{"FramedSum", 0, 0},
                                           ProtocolCase{"FramedPayloadSum", 0, 1},
                                           ProtocolCase{"PlainLines", 1, 0},
                                           ProtocolCase{"FramedNotCp932", 0, 0, oddRecords},
                                           ProtocolCase{"PlainNotCp932", 1, 0, oddRecords}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(Integration, StopSignalDuringTheCallWaitHangsUpAndExitsCleanly) {
    Home home;
    SettingsLine settings;
    settings.autoStart = 1;
    home.write(settings);
    PtyPeer peer;
    ASSERT_TRUE(peer.ok());
    auto modem = startHeadless(home, peer.devicePath());

    ASSERT_TRUE(peer.waitFor("ATE0\r", 10s)) << modem->errorOutput();
    peer.send("\r\nOK\r\n");
    ASSERT_TRUE(modem->waitForLine([](const std::string& l) { return l == kCallWaitStatus; }, 10s));
    ASSERT_TRUE(modem->signal(SIGTERM));

    EXPECT_EQ(modem->waitForExit(15s), 0);
    EXPECT_TRUE(peer.waitFor("ATH0\r", 5s));
    using namespace std::string_literals;
    EXPECT_EQ(peer.received(), "ATE0\rCAN\r+++\0\rATH0\r"s);
    const auto history = historyFiles(home.out);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(maskDigits(fileBytes(history[0]), kStampShape.size()),
              kStampShape + cp932("［ｽﾄｯﾌﾟﾎﾞﾀﾝが押されました］ [異常終了]") + "\r\n");
    EXPECT_FALSE(std::filesystem::exists(home.out / "DATA.txt"));
}

// The test plays the modem: the carrier goes right after the answer, before the file name.
TEST(Integration, CarrierLostAfterAnswerEndsTheCallWithBelAndCan) {
    Home home;
    SettingsLine settings;
    settings.timeAdjust = "0";
    home.write(settings);
    PtyPeer peer;
    ASSERT_TRUE(peer.ok());
    auto modem = startHeadless(home, peer.devicePath());

    ASSERT_TRUE(peer.waitFor("ATE0\r", 10s)) << modem->errorOutput();
    peer.send("\r\nOK\r\n");
    ASSERT_TRUE(modem->waitForLine([](const std::string& l) { return l == kCallWaitStatus; }, 10s));
    peer.send("\r\nRING\r\n");
    ASSERT_TRUE(peer.waitFor("ATA\r", 10s));
    peer.send("\r\nCONNECT 38400\r\n");
    ASSERT_TRUE(peer.waitFor("VOL\r", 10s));
    peer.send("\r\nNO CARRIER\r\n");

    EXPECT_EQ(modem->waitForExit(15s), 1);
    EXPECT_TRUE(peer.waitFor("ATH0\r", 5s));
    using namespace std::string_literals;
    EXPECT_EQ(peer.received(), "ATE0\rATA\rVOL\rBEL\rCAN\r+++\0\rATH0\r"s);
    const auto history = historyFiles(home.out);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(maskDigits(fileBytes(history[0]), kStampShape.size()),
              kStampShape + cp932("ENQ送信/ﾌｧｲﾙ名受信 : ﾓﾃﾞﾑ通信ｴﾗｰ [異常終了]") + "\r\n");
    EXPECT_FALSE(std::filesystem::exists(home.out / "DATA.txt"));
}

TEST(Integration, MissingPortDeviceIsReportedAndEndsWithFailure) {
    Home home;
    home.write(SettingsLine{});
    auto modem = startHeadless(home, "/nonexistent");

    EXPECT_EQ(modem->waitForExit(15s), 1);
    const std::string prefix = "error: dddd-dd-dd-dd:dd:dd>ﾎﾟｰﾄ 1: ";
    const std::size_t stampEnd = prefix.find('>');
    std::vector<std::string> portErrors;
    for (const std::string& line : modem->lines()) {
        if (maskDigits(line, stampEnd).starts_with(prefix))
            portErrors.push_back(line);
    }
    ASSERT_EQ(portErrors.size(), 1u) << ::testing::PrintToString(modem->lines());
    EXPECT_GT(portErrors[0].size(), prefix.size()) << "the reason is missing";
    const auto history = historyFiles(home.out);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_NE(fileBytes(history[0]).find(cp932(">ﾎﾟｰﾄ 1: ")), std::string::npos);
}

TEST(Integration, CarrierLostAmongTheRecordsWritesNoOutputFile) {
    Home home;
    home.write(SettingsLine{});
    const std::vector<std::string> records = japaneseRecords();
    const auto recordsFile = home.scratch.path() / "records.txt";
    writeFile(recordsFile, crlfLines(records));

    // A second call keeps the simulator, and so the line, alive after the drop: a simulator that
    // ends with its last call closes the pseudo-terminal, and the hang-up can swallow the
    // "NO CARRIER" it had just written.
    Simulator sim =
        startSimulator({"--records", recordsFile.string(), "--ring-delay", "1", "--drop-after", "2",
                        "--drop-mode", "carrier", "--calls", "2", "--timeout", "60"});
    ASSERT_FALSE(sim.ptyPath.empty());
    auto modem = startHeadless(home, sim.ptyPath);

    EXPECT_EQ(modem->waitForExit(60s), 1);
    EXPECT_EQ(sim.process->nextLine(10s), "call 1: none, 2 records acknowledged");
    EXPECT_FALSE(std::filesystem::exists(home.out / "DATA.txt"));
    EXPECT_EQ(fileBytes(home.backFile()), crlfLines({records[0], records[1]}));
    const auto modemError = modem->waitForLine(
        [](const std::string& l) { return l.ends_with("ﾚｺｰﾄﾞ受信 : ﾓﾃﾞﾑ通信ｴﾗｰ"); }, 1s);
    EXPECT_TRUE(modemError.has_value()) << ::testing::PrintToString(modem->lines());
}

// Two simulators in turn behind one device link: the first call drops, the program hangs up,
// reopens the port and serves the second call in full.
TEST(Integration, NextCallIsServedAfterADroppedOne) {
    Home home;
    SettingsLine settings;
    settings.autoStart = 1;
    home.write(settings);
    const std::vector<std::string> records = japaneseRecords();
    const auto recordsFile = home.scratch.path() / "records.txt";
    writeFile(recordsFile, crlfLines(records));
    const std::string link = (home.scratch.path() / "com1").string();

    Simulator dropping = startSimulator({"--records", recordsFile.string(), "--ring-delay", "1",
                                         "--drop-after", "1", "--drop-mode", "carrier", "--calls",
                                         "2", "--link", link, "--timeout", "60"});
    ASSERT_FALSE(dropping.ptyPath.empty());
    auto modem = startHeadless(home, link);
    EXPECT_EQ(dropping.process->nextLine(30s), "call 1: none, 1 records acknowledged");
    // The port is closed for two seconds from this text on; the next simulator takes over then.
    ASSERT_TRUE(
        modem->waitForLine([](const std::string& l) { return l == "status: 準備中 ... "; }, 30s));
    ASSERT_TRUE(dropping.process->signal(SIGTERM));
    EXPECT_EQ(dropping.process->waitForExit(10s), 1);

    Simulator whole = startSimulator({"--records", recordsFile.string(), "--ring-delay", "1",
                                      "--link", link, "--timeout", "60"});
    ASSERT_FALSE(whole.ptyPath.empty());
    EXPECT_EQ(whole.process->nextLine(30s), "call 1: ACK, 4 records acknowledged");
    ASSERT_TRUE(modem->signal(SIGTERM));
    EXPECT_EQ(modem->waitForExit(15s), 0);

    EXPECT_EQ(fileBytes(home.out / "DATA.txt"), crlfLines(records));
    const auto history = historyFiles(home.out);
    ASSERT_EQ(history.size(), 1u);
    const std::vector<std::string> lines = splitCrLf(fileBytes(history[0]));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[0].find(cp932("ﾚｺｰﾄﾞ受信 : ﾓﾃﾞﾑ通信ｴﾗｰ [異常終了]")), std::string::npos);
    EXPECT_EQ(
        maskDigits(lines[1], kStampShape.size()),
        kStampShape + completionText(records.size()) + ":" + (home.out / "DATA.txt").string());
}

}  // namespace
}  // namespace karune::test
