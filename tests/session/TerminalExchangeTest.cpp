#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "session/TerminalHarness.h"

namespace karune::test {
namespace {

constexpr std::string_view kNoReply = "ENQ送信/ﾌｧｲﾙ名受信 : ﾀｰﾐﾅﾙ応答なし。";
constexpr std::string_view kNameFormat = "ENQ送信/ﾌｧｲﾙ名受信 : ﾌｫｰﾏｯﾄ ｴﾗｰ";
constexpr std::string_view kNameChecksum = "ENQ送信/ﾌｧｲﾙ名受信 : CRC ｴﾗｰ";
constexpr std::string_view kNameModem = "ENQ送信/ﾌｧｲﾙ名受信 : ﾓﾃﾞﾑ通信ｴﾗｰ";
constexpr std::string_view kRecordTimeout = "ﾚｺｰﾄﾞ受信 : ﾀｲﾑｱｳﾄ ｴﾗｰ";
constexpr std::string_view kRecordFormat = "ﾚｺｰﾄﾞ受信 : ﾌｫｰﾏｯﾄ ｴﾗｰ";
constexpr std::string_view kRecordChecksum = "ﾚｺｰﾄﾞ受信 : CRC ｴﾗｰ";
constexpr std::string_view kRecordModem = "ﾚｺｰﾄﾞ受信 : ﾓﾃﾞﾑ通信ｴﾗｰ";

const std::string kName = "^#abc@3*44";  // file abc, 3 records, CrcType 0
const std::string kRec0 = "^0abc*DE";
const std::string kBadRec0 = "^0abc*DF";

std::vector<std::string> repeat(std::vector<std::string> lines, int times) {
    std::vector<std::string> out;
    for (int i = 0; i < times; ++i)
        out.insert(out.end(), lines.begin(), lines.end());
    return out;
}

std::vector<std::string> join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<Reply> replies(const std::string& trigger, const std::string& line, int times) {
    return std::vector<Reply>(static_cast<std::size_t>(times), Reply{trigger, line});
}

std::vector<Reply> script(std::initializer_list<std::vector<Reply>> parts) {
    std::vector<Reply> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

bool endsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(TerminalExchange, ExampleExchangeByteForByte) {
    TerminalHarness h([](Settings& s) { s.TimeAdjust = "1"; });
    h.script = {{"TW", "OK"},
                {"VOL", "^#abc@2*43"},
                {"ACK", "^0A,B,C*D6"},
                {"ACK", "^1D,E,F*E0"},
                {"ACK", "END"}};
    h.run();

    EXPECT_EQ(h.written(), "TW20070606091500\rVOL\rACK\rACK\rACK\r");
    EXPECT_TRUE(h.ctx().completed);
    EXPECT_EQ(h.ctx().outputPath, h.saveFolder().string() + "/abc.txt");
    EXPECT_EQ(h.ctx().announcedCount, 2);
    EXPECT_EQ(h.ctx().recordCounter, 2);
    EXPECT_EQ(h.backup(), "A,B,C\r\nD,E,F\r\n");
    EXPECT_EQ(h.output("abc.txt"), "A,B,C\r\nD,E,F\r\n");
    EXPECT_EQ(h.logText(),
              "\"2007-06-06\",\"09:15:00\",\" 0\",\"^#abc@2*43\"\r\n"
              "\"2007-06-06\",\"09:15:00\",\" 0\",\"^0A,B,C*D6\"\r\n"
              "\"2007-06-06\",\"09:15:00\",\" 1\",\"^1D,E,F*E0\"\r\n"
              "\"2007-06-06\",\"09:15:00\",\" 2\",\"END\"\r\n");
    EXPECT_EQ(h.display.status, "ﾚｺｰﾄﾞ受信 :  2/2");
    EXPECT_EQ(h.display.file, "/abc.txt");
    EXPECT_EQ(h.display.start, "2007-06-06 09:15:00");
    EXPECT_EQ(h.display.stop, "");
    EXPECT_EQ(h.display.maximum, 2);
    EXPECT_EQ(h.display.value, 2);
    EXPECT_TRUE(h.display.visible);
    EXPECT_FALSE(h.display.busy);
    EXPECT_EQ(h.display.error, "");
    EXPECT_EQ(h.display.beeps, 0);
}

// Rows of the retry limits: file-name phase (empty, bad, modem word) and record phase.
struct RetryCase {
    const char* name;
    std::int16_t protocol;
    std::vector<Reply> script;
    std::vector<std::string> sent;
    std::string_view error;  // message after the stamp; empty for none
    bool recordPhase;        // the message is repeated on the status label
    bool completed;
    std::string backup;
};

class RetryLimits : public ::testing::TestWithParam<RetryCase> {};

TEST_P(RetryLimits, FollowTheTable) {
    const RetryCase& c = GetParam();
    TerminalHarness h([&](Settings& s) { s.Protocol = c.protocol; });
    h.script = c.script;
    h.run();

    EXPECT_EQ(h.heard, c.sent);
    EXPECT_EQ(h.ctx().completed, c.completed);
    if (c.error.empty()) {
        EXPECT_EQ(h.display.error, "");
        EXPECT_EQ(h.display.beeps, 0);
    } else {
        EXPECT_EQ(h.display.error,
                  "2007-06-06-09:" + h.display.error.substr(14, 5) + ">" + std::string(c.error));
        EXPECT_EQ(h.display.beeps, 1);
        EXPECT_EQ(endsWith(h.display.status, "\r\n" + std::string(c.error)), c.recordPhase);
    }
    if (c.completed || c.recordPhase) {
        EXPECT_EQ(h.backup(), c.backup);
    }
}

const std::vector<std::string> kVol = {"VOL"};

INSTANTIATE_TEST_SUITE_P(
    Table, RetryLimits,
    ::testing::Values(
        RetryCase{"SixEmptyNameRepliesThenFrame", 0,
                  script({replies("VOL", "", 6), {{"VOL", kName}, {"ACK", "END"}}}),
                  join({repeat(kVol, 7), {"ACK"}}), "", false, true, ""},
        RetryCase{"SevenEmptyNameReplies",
                  0,
                  {},
                  join({repeat(kVol, 7), {"BEL"}}),
                  kNoReply,
                  false,
                  false,
                  ""},
        RetryCase{"FiveBadNameFramesThenGood", 0,
                  script({replies("VOL", "^#abc@3*45", 5), {{"VOL", kName}, {"ACK", "END"}}}),
                  join({repeat({"VOL", "NAK"}, 5), {"VOL", "ACK"}}), "", false, true, ""},
        RetryCase{"SixBadNameChecksums", 0, replies("VOL", "^#abc@3*45", 6),
                  join({repeat({"VOL", "NAK"}, 5), {"VOL", "BEL"}}), kNameChecksum, false, false,
                  ""},
        RetryCase{"SixNameFormatErrors", 0, replies("VOL", "^$abc@3*44", 6),
                  join({repeat({"VOL", "NAK"}, 5), {"VOL", "BEL"}}), kNameFormat, false, false, ""},
        RetryCase{"EmptyAndBadNameRepliesShareTheCounter",
                  0,
                  script({{{"VOL", ""},
                           {"VOL", "^#abc@3*45"},
                           {"VOL", ""},
                           {"VOL", "^#abc@3*45"},
                           {"VOL", ""},
                           {"VOL", "^#abc@3*45"}}}),
                  {"VOL", "VOL", "NAK", "VOL", "VOL", "NAK", "VOL", "VOL", "BEL"},
                  kNameChecksum,
                  false,
                  false,
                  ""},
        RetryCase{"ModemWordInNameFrameAtOnce",
                  0,
                  {{"VOL", frameOf('#', "SPRING@1", 0)}},
                  {"VOL", "BEL"},
                  kNameModem,
                  false,
                  false,
                  ""},
        RetryCase{"ModemWordInNameFrameSimpleProtocol",
                  1,
                  {{"VOL", frameOf('#', "SPRING@1", 0)}},
                  {"VOL", "BEL"},
                  kNameModem,
                  false,
                  false,
                  ""},
        RetryCase{"NameFrameWithoutAtIsFormatError", 0, replies("VOL", frameOf('#', "abc", 0), 6),
                  join({repeat({"VOL", "NAK"}, 5), {"VOL", "BEL"}}), kNameFormat, false, false, ""},
        RetryCase{"FourEmptyRecordStepsThenRecord", 0,
                  script({{{"VOL", kName}, {"ACK", ""}},
                          replies("NAK", "", 3),
                          {{"NAK", kRec0}, {"ACK", "END"}}}),
                  join({{"VOL", "ACK"}, repeat({"NAK"}, 4), {"ACK"}}), "", false, true, "abc\r\n"},
        RetryCase{"FiveEmptyRecordSteps",
                  0,
                  {{"VOL", kName}},
                  join({{"VOL", "ACK"}, repeat({"NAK"}, 4)}),
                  kRecordTimeout,
                  true,
                  false,
                  ""},
        RetryCase{"EmptyStepCounterRestartsAfterRecord", 0,
                  script({{{"VOL", kName}, {"ACK", ""}},
                          replies("NAK", "", 3),
                          {{"NAK", kRec0}, {"ACK", ""}},
                          replies("NAK", "", 3),
                          {{"NAK", frameOf('1', "d", 0)}, {"ACK", "END"}}}),
                  join({{"VOL", "ACK"}, repeat({"NAK"}, 4), {"ACK"}, repeat({"NAK"}, 4), {"ACK"}}),
                  "", false, true, "abc\r\nd\r\n"},
        RetryCase{"FiveBadRecordsThenGood", 0,
                  script({{{"VOL", kName}, {"ACK", kBadRec0}},
                          replies("NAK", kBadRec0, 4),
                          {{"NAK", kRec0}, {"ACK", "END"}}}),
                  join({{"VOL", "ACK"}, repeat({"NAK"}, 5), {"ACK"}}), "", false, true, "abc\r\n"},
        RetryCase{"SixBadRecords", 0,
                  script({{{"VOL", kName}, {"ACK", kBadRec0}}, replies("NAK", kBadRec0, 5)}),
                  join({{"VOL", "ACK"}, repeat({"NAK"}, 5), {"BEL"}}), kRecordChecksum, true, false,
                  ""},
        RetryCase{"SixRecordFormatErrors", 0,
                  script({{{"VOL", kName}, {"ACK", "END "}}, replies("NAK", "END ", 5)}),
                  join({{"VOL", "ACK"}, repeat({"NAK"}, 5), {"BEL"}}), kRecordFormat, true, false,
                  ""},
        RetryCase{"EndWithTrailingSpaceIsNotEnd",
                  0,
                  {{"VOL", kName}, {"ACK", "END  "}, {"NAK", "END"}},
                  {"VOL", "ACK", "NAK"},
                  "",
                  false,
                  true,
                  ""},
        RetryCase{"ModemWordInRecordAtOnce",
                  0,
                  {{"VOL", kName}, {"ACK", frameOf('0', "ERROR", 0)}},
                  {"VOL", "ACK", "BEL"},
                  kRecordModem,
                  true,
                  false,
                  ""},
        RetryCase{"SimpleProtocolStoresModemWords",
                  1,
                  {{"VOL", kName}, {"ACK", "NO CARRIER"}},
                  join({{"VOL", "ACK", "ACK"}, repeat({"NAK"}, 4)}),
                  kRecordTimeout,
                  true,
                  false,
                  "NO CARRIER\r\n"},
        RetryCase{"EmptyEndBeforeAnyRecord",
                  0,
                  {{"VOL", kName}, {"ACK", "END"}},
                  {"VOL", "ACK"},
                  "",
                  false,
                  true,
                  ""}),
    [](const ::testing::TestParamInfo<RetryCase>& row) { return std::string(row.param.name); });

TEST(TerminalExchange, ClockIsSetAgainBeforeEveryFileNameRequest) {
    TerminalHarness h([](Settings& s) { s.TimeAdjust = "1"; });
    h.script = {{"TW", ""},   {"TW", "OK"},   {"VOL", ""},
                {"TW", "OK"}, {"VOL", kName}, {"ACK", "END"}};
    h.run();

    ASSERT_EQ(h.heard.size(), 6u);
    EXPECT_EQ(h.heard[0], "TW20070606091500");
    EXPECT_EQ(h.heard[1].substr(0, 2), "TW");
    EXPECT_EQ(h.heard[1].size(), 16u);
    EXPECT_NE(h.heard[1], h.heard[0]);  // read from the clock at each use
    EXPECT_EQ(h.heard[2], "VOL");
    EXPECT_EQ(h.heard[3].substr(0, 2), "TW");
    EXPECT_EQ(h.heard[4], "VOL");
    EXPECT_EQ(h.heard[5], "ACK");
    EXPECT_TRUE(h.ctx().completed);
}

TEST(TerminalExchange, ClockSettingOnlyWhenTimeAdjustReadsAsOne) {
    struct Case {
        std::string timeAdjust;
        bool sendsClock;
    };
    for (const Case& c : {Case{"1", true}, Case{" 1", true}, Case{"1.0", true}, Case{"0", false},
                          Case{"", false}, Case{"2", false}, Case{"-1", false}}) {
        TerminalHarness h([&](Settings& s) { s.TimeAdjust = c.timeAdjust; });
        if (c.sendsClock)
            h.script.push_back({"TW", "OK"});
        h.script.push_back({"VOL", kName});
        h.script.push_back({"ACK", "END"});
        h.run();
        ASSERT_FALSE(h.heard.empty());
        EXPECT_EQ(h.heard.front().rfind("TW", 0) == 0, c.sendsClock) << '"' << c.timeAdjust << '"';
        EXPECT_TRUE(h.ctx().completed) << c.timeAdjust;
    }
}

TEST(TerminalExchange, ModemWordDuringClockSettingEndsAsModemError) {
    TerminalHarness h([](Settings& s) { s.TimeAdjust = "1"; });
    h.script = {{"TW", "NO CARRIER"}};
    h.run();

    ASSERT_EQ(h.heard.size(), 2u);
    EXPECT_EQ(h.heard[0].substr(0, 2), "TW");
    EXPECT_EQ(h.heard[1], "BEL");
    EXPECT_TRUE(endsWith(h.display.error, ">" + std::string(kNameModem)));
    EXPECT_EQ(h.display.beeps, 1);
    EXPECT_FALSE(h.ctx().completed);
}

TEST(TerminalExchange, StopEndsTheClockSettingAtItsNextCheck) {
    TerminalHarness h([](Settings& s) { s.TimeAdjust = "1"; });
    h.script = {{"TW", ""}, {"TW", ""}, {"TW", "", {}, [&] { h.flags.requestStop(); }}};
    h.run();
    EXPECT_EQ(h.heard.size(), 3u);
    EXPECT_EQ(h.display.error, "");
    EXPECT_FALSE(h.ctx().completed);
}

TEST(TerminalExchange, StopIsCheckedAtTheStartOfEveryRecordStep) {
    TerminalHarness h;
    h.script = {{"VOL", kName}, {"ACK", kRec0, {}, [&] { h.flags.requestStop(); }}};
    h.run();
    EXPECT_EQ(h.heard, (std::vector<std::string>{"VOL", "ACK"}));
    EXPECT_EQ(h.backup(), "");
    EXPECT_FALSE(h.ctx().completed);
}

TEST(TerminalExchange, ProtocolsAndChecksumTypes) {
    const std::vector<std::string> payloads = {"A,B,C", "", "D,,F"};
    for (std::int16_t protocol : {0, 1}) {
        for (std::int16_t crc : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "protocol " << protocol << " crc " << crc);
            TerminalHarness h([&](Settings& s) {
                s.Protocol = protocol;
                s.CrcType = crc;
            });
            h.script.push_back({"VOL", frameOf('#', "abc@3", crc)});
            char seq = '0';
            for (const std::string& p : payloads) {
                // An empty simple record is silence on the line; the simple terminal sends "-".
                const std::string record = p.empty() && protocol == 1 ? "-" : p;
                h.script.push_back({"ACK", protocol == 1 ? record : frameOf(seq++, record, crc)});
            }
            h.script.push_back({"ACK", "END"});
            h.run();

            const std::string expected =
                protocol == 1 ? "A,B,C\r\n-\r\nD,,F\r\n" : "A,B,C\r\n\r\nD,,F\r\n";
            EXPECT_EQ(h.backup(), expected);
            // All fields are kept, so the conversion ends the third line before its empty field.
            const std::string converted =
                protocol == 1 ? "A,B,C\r\n-\r\nD\r\n" : "A,B,C\r\n\r\nD\r\n";
            EXPECT_EQ(h.output("abc.txt"), converted);
            EXPECT_EQ(h.display.status, "ﾚｺｰﾄﾞ受信 :  3/3");
            EXPECT_EQ(h.heard, (std::vector<std::string>{"VOL", "ACK", "ACK", "ACK", "ACK"}));
            EXPECT_TRUE(h.ctx().completed);
        }
    }
}

TEST(TerminalExchange, FrameOfTheOtherChecksumTypeIsRejected) {
    TerminalHarness h([](Settings& s) { s.CrcType = 1; });
    h.script = {{"VOL", "^#abc@3*44"}, {"VOL", "^#abc@3*C3"}, {"ACK", "END"}};
    h.run();
    EXPECT_EQ(h.heard, (std::vector<std::string>{"VOL", "NAK", "VOL", "ACK"}));
    EXPECT_EQ(h.ctx().announcedCount, 3);
}

TEST(TerminalExchange, SequenceWrapsAndRepeatedFramesAreAcknowledgedNotStored) {
    TerminalHarness h;
    h.script.push_back({"VOL", frameOf('#', "seq@12", 0)});
    std::string expected;
    for (int i = 0; i < 11; ++i) {
        const char seq = static_cast<char>('0' + i % 10);
        const std::string payload = "r" + std::to_string(i);
        h.script.push_back({"ACK", frameOf(seq, payload, 0)});
        expected += payload + "\r\n";
        if (i == 1)
            h.script.push_back({"ACK", frameOf('1', "dup", 0)});  // "1" again
        if (i == 9)
            h.script.push_back({"ACK", frameOf('9', "dup", 0)});  // "9" when "0" is due
    }
    h.script.push_back({"ACK", "END"});
    h.run();

    EXPECT_EQ(h.backup(), expected);
    EXPECT_EQ(h.ctx().recordCounter, 11);
    EXPECT_EQ(h.heard.size(), 15u);  // VOL, 11 records, 2 repeats, END's ACK is not the session's
    EXPECT_EQ(std::count(h.heard.begin(), h.heard.end(), "NAK"), 0);
    EXPECT_TRUE(h.ctx().completed);
}

TEST(TerminalExchange, RepeatDoesNotApplyToTheSimpleProtocol) {
    TerminalHarness h([](Settings& s) { s.Protocol = 1; });
    h.script = {{"VOL", kName}, {"ACK", "^9x"}, {"ACK", "END"}};
    h.run();
    EXPECT_EQ(h.backup(), "^9x\r\n");
}

TEST(TerminalExchange, ReplyLateInAStepIsStillTaken) {
    TerminalHarness h;
    h.script = {{"VOL", kName}, {"ACK", kRec0, std::chrono::seconds(9)}, {"ACK", "END"}};
    h.run();
    EXPECT_EQ(h.heard, (std::vector<std::string>{"VOL", "ACK", "ACK"}));
    EXPECT_EQ(h.backup(), "abc\r\n");
}

TEST(TerminalExchange, EmptyStepsAreLoggedWithEmptyField) {
    TerminalHarness h;
    h.script = {{"VOL", kName}, {"ACK", ""}, {"NAK", kRec0}, {"ACK", "END"}};
    h.run();
    const std::string log = h.logText();
    EXPECT_NE(log.find("\",\" 0\",\"\"\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("\",\" 1\",\"END\"\r\n"), std::string::npos) << log;
}

TEST(TerminalExchange, JapanesePayloadsArriveByteExact) {
    // Half-width katakana, ソ and 表 (trail byte 0x5C), ① (0x8740), ～, IBM rows 0xED40 and
    // 0xFA40, and bytes that are no CP932 at all.
    const std::string record =
        "\xB1\xB2\xB3,\x83\x5C\x95\x5C,\x87\x40\x81\x60,\xED\x40\xFA\x40,\x85\x40\xA0\xFD,\"q\"";
    for (std::int16_t protocol : {0, 1}) {
        SCOPED_TRACE(protocol);
        TerminalHarness h([&](Settings& s) {
            s.Protocol = protocol;
            s.Field = {};
            s.field(2) = 1;
            s.field(3) = 1;
            s.field(5) = 1;
            s.field(6) = 1;
        });
        const std::string frame = frameOf('0', record, 0);
        h.script = {{"VOL", kName}, {"ACK", protocol == 1 ? record : frame}, {"ACK", "END"}};
        h.run();

        EXPECT_EQ(h.backup(), record + "\r\n");
        EXPECT_EQ(h.output("abc.txt"),
                  "\x83\x5C\x95\x5C,\x87\x40\x81\x60,\x85\x40\xA0\xFD,\"q\"\r\n");
        EXPECT_NE(h.logText().find(",\" 0\",\"" + (protocol == 1 ? record : frame) + "\"\r\n"),
                  std::string::npos);
        EXPECT_TRUE(h.ctx().completed);
    }
}

TEST(TerminalExchange, OutputFileNamedBySettings) {
    struct Case {
        std::int16_t addDate;
        std::string fixFname;
        bool trailingSlash;
        std::string fileName;
    };
    const Case cases[] = {{0, "", false, "/abc.txt"},
                          {1, "", false, "/20070606.txt"},
                          {2, "", true, "/20070606-0915.txt"},
                          {3, "DATA", false, "/DATA-20070606.txt"},
                          {4, "", true, "/abc-20070606-0915.txt"},
                          {0, "DATA", true, "/DATA.txt"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        TerminalHarness h([&](Settings& s) {
            s.AddDate = c.addDate;
            s.FixFname = c.fixFname;
            if (c.trailingSlash)
                s.Folder += "/";
        });
        h.script = {{"VOL", kName}, {"ACK", kRec0}, {"ACK", "END"}};
        h.run();
        EXPECT_EQ(h.display.file, c.fileName);
        EXPECT_EQ(h.ctx().outputPath, h.saveFolder().string() + c.fileName);
        EXPECT_EQ(h.output(c.fileName.substr(1)), "abc\r\n");
        EXPECT_NE(h.logText(), "");  // the log is found with and without the trailing "/"
    }
}

TEST(TerminalExchange, NameWithTrailByteAtIsNotCutThere) {
    TerminalHarness h;
    h.script = {{"VOL", frameOf('#', "\x87\x40x@5", 0)}, {"ACK", "END"}};
    h.run();
    EXPECT_EQ(h.display.file, "/①x.txt");
    EXPECT_EQ(h.ctx().announcedCount, 5);
    EXPECT_TRUE(std::filesystem::exists(h.saveFolder() / "①x.txt"));
}

TEST(TerminalExchange, TerminalNameCannotLeaveTheSaveFolder) {
    TerminalHarness h;
    h.script = {{"VOL", frameOf('#', "../../x\\y:z@1", 0)},
                {"ACK", "^0q*" + FrameChecksum("^0q*")},
                {"ACK", "END"}};
    h.run();
    EXPECT_EQ(h.ctx().outputPath, h.saveFolder().string() + "/.._.._x_y_z.txt");
    EXPECT_EQ(h.output(".._.._x_y_z.txt"), "q\r\n");
    EXPECT_TRUE(h.ctx().completed);
}

TEST(TerminalExchange, CountersGoBeyondSixteenBits) {
    constexpr int kRecords = 32770;
    TerminalHarness h([](Settings& s) { s.Protocol = 1; });
    h.script.push_back({"VOL", frameOf('#', "big@40000", 0)});
    for (int i = 0; i < kRecords; ++i)
        h.script.push_back({"ACK", "r"});
    h.script.push_back({"ACK", "END"});
    h.run();

    EXPECT_EQ(h.ctx().recordCounter, kRecords);
    EXPECT_EQ(h.ctx().announcedCount, 40000);
    EXPECT_EQ(h.display.status, "ﾚｺｰﾄﾞ受信 :  32770/40000");
    EXPECT_EQ(h.display.value, 40000);  // END fills the bar
    EXPECT_EQ(h.backup().size(), 3u * kRecords);
    EXPECT_TRUE(h.ctx().completed);
}

TEST(TerminalExchange, OutputPathIsEmptiedAtEveryFileNameAttempt) {
    TerminalHarness h;
    h.ctx().outputPath = "/previous/transfer.txt";
    h.run();  // silent terminal
    EXPECT_EQ(h.ctx().outputPath, "");
}

}  // namespace
}  // namespace karune::test
