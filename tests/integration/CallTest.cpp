// Whole calls: karune-modem in headless mode on a pseudo-terminal, with karune-sim playing the
// modem and the terminal. One call per protocol and checksum type, and one of each kind of
// failure; the session tests own the other steps and faults.

#include <gtest/gtest.h>

#include <signal.h>

#include <string>
#include <vector>

#include "integration/IntegrationSupport.h"

namespace karune::test {
namespace {

const std::string kStampShape = "dddd-dd-dd dd:dd:dd->dddd-dd-dd-dd:dd:dd>";
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

struct ProtocolCase {
    const char* name;
    int protocol;
    int crcType;
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
    const std::vector<std::string> records = japaneseRecords();
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
    // What the log holds line by line is the exchange's to test; here it has to be written.
    EXPECT_TRUE(fileBytes(home.out / "LOG.TXT").ends_with(",\"END\"\r\n"));
    const auto history = historyFiles(home.out);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(maskDigits(fileBytes(history[0]), kStampShape.size()),
              kStampShape + completionText(records.size()) + ":" +
                  (home.out / "DATA.txt").string() + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Integration, CompleteCall,
                         ::testing::Values(ProtocolCase{"FramedSum", 0, 0},
                                           ProtocolCase{"FramedPayloadSum", 0, 1},
                                           ProtocolCase{"PlainLines", 1, 0}),
                         [](const auto& p) { return std::string(p.param.name); });

// What the stop sends to the modem is the session's to test; here the signal has to reach it.
TEST(Integration, StopSignalDuringTheCallWaitHangsUpAndExitsCleanly) {
    Home home;
    SettingsLine settings;
    settings.autoStart = 1;
    home.write(settings);
    Simulator sim = startSimulator({"--ring-delay", "3600", "--timeout", "60"});
    ASSERT_FALSE(sim.ptyPath.empty()) << sim.process->errorOutput();
    auto modem = startHeadless(home, sim.ptyPath);

    ASSERT_TRUE(modem->waitForLine([](const std::string& l) { return l == kCallWaitStatus; }, 10s))
        << modem->errorOutput();
    ASSERT_TRUE(modem->signal(SIGTERM));

    EXPECT_EQ(modem->waitForExit(15s), 0);
    const auto history = historyFiles(home.out);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(maskDigits(fileBytes(history[0]), kStampShape.size()),
              kStampShape + cp932("［ｽﾄｯﾌﾟﾎﾞﾀﾝが押されました］ [異常終了]") + "\r\n");
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

}  // namespace
}  // namespace karune::test
