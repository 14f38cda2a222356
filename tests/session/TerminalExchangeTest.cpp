#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "session/TerminalHarness.h"
#include "support/Lines.h"

namespace karune::test {
namespace {

const std::string kNoReply = "ENQ送信/ﾌｧｲﾙ名受信 : ﾀｰﾐﾅﾙ応答なし。";
const std::string kNameFormat = "ENQ送信/ﾌｧｲﾙ名受信 : ﾌｫｰﾏｯﾄ ｴﾗｰ";
const std::string kNameChecksum = "ENQ送信/ﾌｧｲﾙ名受信 : CRC ｴﾗｰ";
const std::string kNameModem = "ENQ送信/ﾌｧｲﾙ名受信 : ﾓﾃﾞﾑ通信ｴﾗｰ";
const std::string kRecordTimeout = "ﾚｺｰﾄﾞ受信 : ﾀｲﾑｱｳﾄ ｴﾗｰ";
const std::string kRecordFormat = "ﾚｺｰﾄﾞ受信 : ﾌｫｰﾏｯﾄ ｴﾗｰ";
const std::string kRecordChecksum = "ﾚｺｰﾄﾞ受信 : CRC ｴﾗｰ";
const std::string kRecordModem = "ﾚｺｰﾄﾞ受信 : ﾓﾃﾞﾑ通信ｴﾗｰ";

const std::string kName = "^#abc@3*44";  // file abc, 3 records, CrcType 0
const std::string kRec0 = "^0abc*DE";
const std::string kBadRec0 = "^0abc*DF";

// The terminal's answers as trigger, line, trigger, line...
template <typename... Text>
std::vector<Reply> talk(const Text&... texts) {
    const Lines flat = lines(texts...);
    std::vector<Reply> out;
    for (std::size_t i = 0; i + 1 < flat.size(); i += 2)
        out.push_back({flat[i], flat[i + 1]});
    return out;
}

template <typename T>
std::vector<T> times(int n, const std::vector<T>& part) {
    std::vector<T> out;
    for (int i = 0; i < n; ++i)
        out = out + part;
    return out;
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
    EXPECT_EQ(h.display.last("status"), "ﾚｺｰﾄﾞ受信 :  2/2");
    EXPECT_EQ(h.display.last("file"), "/abc.txt");
    EXPECT_EQ(h.display.last("start"), "2007-06-06 09:15:00");
    EXPECT_EQ(h.display.texts("stop"), Lines{""});
    EXPECT_EQ(h.display.last("progress"), "2 2 visible");
    EXPECT_EQ(h.display.last("busy"), "0");
    EXPECT_EQ(h.display.last("error"), "");
    EXPECT_EQ(h.display.count("beep"), 0);
}

// One exchange: the terminal's script, what the PC sent ("TW..." shortened to "TW"), the message
// after the time stamp (empty for none), whether it is repeated on the status label (record
// phase), the outcome, the backup and the settings.
struct ExchangeCase {
    const char* name;
    std::vector<Reply> script;
    Lines sent;
    std::string error = "";
    bool recordPhase = false;
    bool completed = false;
    std::string backup = "";
    std::int16_t protocol = 0;
    std::int16_t crcType = 0;
    const char* timeAdjust = "0";
    int stopAtReply = -1;  // the reply whose arrival presses stop
};

TEST(TerminalExchange, RetryLimitsAndStops) {
    const std::string badName = "^#abc@3*45";
    const Lines volNak = lines("VOL", "NAK");
    const Lines naks4 = times(4, lines("NAK"));
    const Lines naks5 = times(5, lines("NAK"));
    const std::string rec1 = frameOf('1', "d", 0);
    const auto noisy = [&](const std::string& noise) {
        return talk("VOL", kName, "ACK", kRec0, "ACK", noise + rec1, "NAK", rec1, "ACK", "END");
    };
    const Lines noisyHeard = lines("VOL", "ACK", "ACK", "NAK", "ACK");
    const ExchangeCase cases[] = {
        {"six empty name replies, then a frame",
         times(6, talk("VOL", "")) + talk("VOL", kName, "ACK", "END"),
         times(7, lines("VOL")) + lines("ACK"), "", false, true},
        {"seven empty name replies", {}, times(7, lines("VOL")) + lines("BEL"), kNoReply},
        {"five bad name frames, then a good one",
         times(5, talk("VOL", badName)) + talk("VOL", kName, "ACK", "END"),
         times(5, volNak) + lines("VOL", "ACK"), "", false, true},
        {"six bad name checksums", times(6, talk("VOL", badName)),
         times(5, volNak) + lines("VOL", "BEL"), kNameChecksum},
        {"six name format errors", times(6, talk("VOL", "^$abc@3*44")),
         times(5, volNak) + lines("VOL", "BEL"), kNameFormat},
        {"name frame without @ is a format error", times(6, talk("VOL", frameOf('#', "abc", 0))),
         times(5, volNak) + lines("VOL", "BEL"), kNameFormat},
        {"empty and bad name replies share the counter", times(3, talk("VOL", "", "VOL", badName)),
         lines("VOL", "VOL", "NAK", "VOL", "VOL", "NAK", "VOL", "VOL", "BEL"), kNameChecksum},
        {"modem word in the name frame at once", talk("VOL", frameOf('#', "SPRING@1", 0)),
         lines("VOL", "BEL"), kNameModem},
        {"modem word in the name frame, simple protocol", talk("VOL", frameOf('#', "SPRING@1", 0)),
         lines("VOL", "BEL"), kNameModem, false, false, "", 1},
        {"name frame of the other checksum type",
         talk("VOL", "^#abc@3*44", "VOL", "^#abc@3*C3", "ACK", "END"),
         lines("VOL", "NAK", "VOL", "ACK"), "", false, true, "", 0, 1},
        {"four empty record steps, then a record",
         talk("VOL", kName, "ACK", "") + times(3, talk("NAK", "")) +
             talk("NAK", kRec0, "ACK", "END"),
         lines("VOL", "ACK") + naks4 + lines("ACK"), "", false, true, "abc\r\n"},
        {"five empty record steps", talk("VOL", kName), lines("VOL", "ACK") + naks4, kRecordTimeout,
         true},
        {"the empty-step counter restarts after a record",
         talk("VOL", kName, "ACK", "") + times(3, talk("NAK", "")) + talk("NAK", kRec0, "ACK", "") +
             times(3, talk("NAK", "")) + talk("NAK", frameOf('1', "d", 0), "ACK", "END"),
         lines("VOL", "ACK") + naks4 + lines("ACK") + naks4 + lines("ACK"), "", false, true,
         "abc\r\nd\r\n"},
        {"records before the line fell silent stay in the back-up",
         talk("VOL", kName, "ACK", kRec0), lines("VOL", "ACK", "ACK") + naks4, kRecordTimeout, true,
         false, "abc\r\n"},
        // Noise glued before a record spoils it once; the resent record is stored once. The first
        // noise begins like a repeat of the frame before, as a late duplicate would.
        {"noise like a repeat of the frame before", noisy("^0A,B*00"), noisyHeard, "", false, true,
         "abc\r\nd\r\n"},
        {"control and high bytes before a record",
         noisy(std::string("\x00\x11\x13\xFF\x7F\x1B", 6)), noisyHeard, "", false, true,
         "abc\r\nd\r\n"},
        {"half a double-byte character before a record", noisy("\x81"), noisyHeard, "", false, true,
         "abc\r\nd\r\n"},
        {"line feeds before a record", noisy("\n\n\n"), noisyHeard, "", false, true,
         "abc\r\nd\r\n"},
        {"five bad records, then a good one",
         talk("VOL", kName, "ACK", kBadRec0) + times(4, talk("NAK", kBadRec0)) +
             talk("NAK", kRec0, "ACK", "END"),
         lines("VOL", "ACK") + naks5 + lines("ACK"), "", false, true, "abc\r\n"},
        {"six bad records", talk("VOL", kName, "ACK", kBadRec0) + times(5, talk("NAK", kBadRec0)),
         lines("VOL", "ACK") + naks5 + lines("BEL"), kRecordChecksum, true},
        {"six record format errors",
         talk("VOL", kName, "ACK", "END ") + times(5, talk("NAK", "END ")),
         lines("VOL", "ACK") + naks5 + lines("BEL"), kRecordFormat, true},
        {"END with a trailing space is not the end",
         talk("VOL", kName, "ACK", "END  ", "NAK", "END"), lines("VOL", "ACK", "NAK"), "", false,
         true},
        {"modem word in a record at once", talk("VOL", kName, "ACK", frameOf('0', "ERROR", 0)),
         lines("VOL", "ACK", "BEL"), kRecordModem, true},
        {"the simple protocol stores modem words", talk("VOL", kName, "ACK", "NO CARRIER"),
         lines("VOL", "ACK", "ACK") + naks4, kRecordTimeout, true, false, "NO CARRIER\r\n", 1},
        {"the simple protocol has no repeated frames",
         talk("VOL", kName, "ACK", "^9x", "ACK", "END"), lines("VOL", "ACK", "ACK"), "", false,
         true, "^9x\r\n", 1},
        {"END before any record", talk("VOL", kName, "ACK", "END"), lines("VOL", "ACK"), "", false,
         true},
        {"protocol 0, checksum type 1",
         talk("VOL", frameOf('#', "abc@3", 0), "ACK", frameOf('0', "A,B,C", 0), "ACK",
              frameOf('1', "", 0), "ACK", frameOf('2', "D,,F", 0), "ACK", "END"),
         lines("VOL", "ACK", "ACK", "ACK", "ACK"), "", false, true, "A,B,C\r\n\r\nD,,F\r\n", 0, 0},
        {"protocol 0, checksum type 2",
         talk("VOL", frameOf('#', "abc@3", 1), "ACK", frameOf('0', "A,B,C", 1), "ACK",
              frameOf('1', "", 1), "ACK", frameOf('2', "D,,F", 1), "ACK", "END"),
         lines("VOL", "ACK", "ACK", "ACK", "ACK"), "", false, true, "A,B,C\r\n\r\nD,,F\r\n", 0, 1},
        // An empty simple record would be silence on the line: the simple terminal sends "-".
        {"protocol 1, checksum type 1",
         talk("VOL", frameOf('#', "abc@3", 0), "ACK", "A,B,C", "ACK", "-", "ACK", "D,,F", "ACK",
              "END"),
         lines("VOL", "ACK", "ACK", "ACK", "ACK"), "", false, true, "A,B,C\r\n-\r\nD,,F\r\n", 1, 0},
        {"protocol 1, checksum type 2",
         talk("VOL", frameOf('#', "abc@3", 1), "ACK", "A,B,C", "ACK", "-", "ACK", "D,,F", "ACK",
              "END"),
         lines("VOL", "ACK", "ACK", "ACK", "ACK"), "", false, true, "A,B,C\r\n-\r\nD,,F\r\n", 1, 1},
        {"a reply late in its step is still taken",
         talk("VOL", kName) + std::vector<Reply>(1, Reply{"ACK", kRec0, std::chrono::seconds(9)}) +
             talk("ACK", "END"),
         lines("VOL", "ACK", "ACK"), "", false, true, "abc\r\n"},
        {"modem word during the clock setting", talk("TW", "NO CARRIER"), lines("TW", "BEL"),
         kNameModem, false, false, "", 0, 0, "1"},
        {"stop ends the clock setting at its next check", times(3, talk("TW", "")),
         lines("TW", "TW", "TW"), "", false, false, "", 0, 0, "1", 2},
        {"stop is checked at the start of every record step", talk("VOL", kName, "ACK", kRec0),
         lines("VOL", "ACK"), "", false, false, "", 0, 0, "0", 1},
    };
    for (const ExchangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        TerminalHarness h([&](Settings& s) {
            s.Protocol = c.protocol;
            s.CrcType = c.crcType;
            s.TimeAdjust = c.timeAdjust;
        });
        h.script = c.script;
        if (c.stopAtReply >= 0)
            h.script[static_cast<std::size_t>(c.stopAtReply)].action = [&] {
                h.flags.requestStop();
            };
        h.run();

        Lines heard = h.heard;
        for (std::string& line : heard)
            if (line.starts_with("TW"))
                line = "TW";
        EXPECT_EQ(heard, c.sent);
        EXPECT_EQ(h.ctx().completed, c.completed);
        EXPECT_EQ(h.backup(), c.backup);
        const std::string error = h.display.last("error");
        EXPECT_EQ(h.display.count("beep"), c.error.empty() ? 0 : 1);
        if (c.error.empty()) {
            EXPECT_EQ(error, "");
            continue;
        }
        EXPECT_TRUE(error.starts_with("2007-06-06-09:")) << error;
        EXPECT_EQ(error.substr(19), ">" + c.error);
        EXPECT_EQ(h.display.last("status").ends_with("\r\n" + c.error), c.recordPhase);
    }
}

TEST(TerminalExchange, ClockIsSetAgainBeforeEveryFileNameRequest) {
    TerminalHarness h([](Settings& s) { s.TimeAdjust = "1"; });
    h.script = {{"TW", ""},   {"TW", "OK"},   {"VOL", ""},
                {"TW", "OK"}, {"VOL", kName}, {"ACK", "END"}};
    h.run();

    ASSERT_EQ(h.heard.size(), 6u);
    EXPECT_EQ(h.heard[0], "TW20070606091500");
    EXPECT_TRUE(h.heard[1].starts_with("TW"));
    EXPECT_EQ(h.heard[1].size(), 16u);
    EXPECT_NE(h.heard[1], h.heard[0]);  // read from the clock at each use
    EXPECT_EQ(Lines(h.heard.begin() + 2, h.heard.end()), (Lines{"VOL", h.heard[3], "VOL", "ACK"}));
    EXPECT_TRUE(h.heard[3].starts_with("TW"));
    EXPECT_TRUE(h.ctx().completed);
}

TEST(TerminalExchange, ClockSettingOnlyWhenTimeAdjustReadsAsOne) {
    // How the text reads as a number has its own tests; one of each side here.
    for (const auto& [timeAdjust, sendsClock] :
         {std::pair<std::string, bool>{" 1", true}, {"2", false}}) {
        SCOPED_TRACE('"' + timeAdjust + '"');
        TerminalHarness h([&](Settings& s) { s.TimeAdjust = timeAdjust; });
        if (sendsClock)
            h.script.push_back({"TW", "OK"});
        h.script.push_back({"VOL", kName});
        h.script.push_back({"ACK", "END"});
        h.run();
        ASSERT_FALSE(h.heard.empty());
        EXPECT_EQ(h.heard.front().starts_with("TW"), sendsClock);
        EXPECT_TRUE(h.ctx().completed);
    }
}

TEST(TerminalExchange, SequenceWrapsAndRepeatedFramesAreAcknowledgedNotStored) {
    TerminalHarness h;
    h.script.push_back({"VOL", frameOf('#', "seq@12", 0)});
    std::string expected;
    for (int i = 0; i < 11; ++i) {
        const std::string payload = "r" + std::to_string(i);
        h.script.push_back({"ACK", frameOf(static_cast<char>('0' + i % 10), payload, 0)});
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
            for (int field : {2, 3, 5, 6})
                s.field(field) = 1;
        });
        const std::string sent = protocol == 1 ? record : frameOf('0', record, 0);
        h.script = {{"VOL", kName}, {"ACK", sent}, {"ACK", "END"}};
        h.run();

        EXPECT_EQ(h.backup(), record + "\r\n");
        EXPECT_EQ(h.output("abc.txt"),
                  "\x83\x5C\x95\x5C,\x87\x40\x81\x60,\x85\x40\xA0\xFD,\"q\"\r\n");
        EXPECT_NE(h.logText().find(",\" 0\",\"" + sent + "\"\r\n"), std::string::npos);
        EXPECT_TRUE(h.ctx().completed);
    }
}

TEST(TerminalExchange, OutputFileNamedBySettingsAndSafeTerminalNames) {
    struct Case {
        std::int16_t addDate;
        std::string fixFname;
        bool trailingSlash;
        std::string namePayload;
        std::string fileName;
    };
    // The naming rules have their own tests; these check that the exchange applies them.
    const Case cases[] = {{4, "", true, "abc@3", "/abc-20070606-0915.txt"},
                          {3, "DATA", false, "abc@3", "/DATA-20070606.txt"},
                          {0, "", false, "\x87\x40x@5", "/①x.txt"},  // trail byte 0x40 is no "@"
                          {0, "", false, "../../x\\y:z@1", "/.._.._x_y_z.txt"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        TerminalHarness h([&](Settings& s) {
            s.AddDate = c.addDate;
            s.FixFname = c.fixFname;
            if (c.trailingSlash)
                s.Folder += "/";
        });
        h.script = {{"VOL", frameOf('#', c.namePayload, 0)}, {"ACK", kRec0}, {"ACK", "END"}};
        h.run();
        EXPECT_EQ(h.display.last("file"), c.fileName);
        EXPECT_EQ(h.ctx().outputPath, h.saveFolder().string() + c.fileName);
        EXPECT_EQ(h.output(c.fileName.substr(1)), "abc\r\n");
        EXPECT_NE(h.logText(), "");  // the log is found with and without the trailing "/"
    }
}

TEST(TerminalExchange, CountersGoBeyondSixteenBits) {
    constexpr int kRecords = 32770;
    TerminalHarness h([](Settings& s) { s.Protocol = 1; });
    h.script.push_back({"VOL", frameOf('#', "big@40000", 0)});
    h.script.insert(h.script.end(), kRecords, Reply{"ACK", "r"});
    h.script.push_back({"ACK", "END"});
    h.run();

    EXPECT_EQ(h.ctx().recordCounter, kRecords);
    EXPECT_EQ(h.ctx().announcedCount, 40000);
    EXPECT_EQ(h.display.last("status"), "ﾚｺｰﾄﾞ受信 :  32770/40000");
    EXPECT_EQ(h.display.last("progress"), "40000 40000 visible");  // END fills the bar
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
