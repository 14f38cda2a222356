#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "session/LeadingNumber.h"
#include "session/OutputName.h"
#include "session/TerminalHarness.h"
#include "support/Lines.h"

namespace karune::test {
namespace {

namespace fs = std::filesystem;

const std::string kNoReply = "ENQ送信/ﾌｧｲﾙ名受信 : ﾀｰﾐﾅﾙ応答なし。";
const std::string kNameFormat = "ENQ送信/ﾌｧｲﾙ名受信 : ﾌｫｰﾏｯﾄ ｴﾗｰ";
const std::string kNameChecksum = "ENQ送信/ﾌｧｲﾙ名受信 : CRC ｴﾗｰ";
const std::string kNameModem = "ENQ送信/ﾌｧｲﾙ名受信 : ﾓﾃﾞﾑ通信ｴﾗｰ";
const std::string kRecordTimeout = "ﾚｺｰﾄﾞ受信 : ﾀｲﾑｱｳﾄ ｴﾗｰ";
const std::string kRecordFormat = "ﾚｺｰﾄﾞ受信 : ﾌｫｰﾏｯﾄ ｴﾗｰ";
const std::string kRecordChecksum = "ﾚｺｰﾄﾞ受信 : CRC ｴﾗｰ";
const std::string kRecordModem = "ﾚｺｰﾄﾞ受信 : ﾓﾃﾞﾑ通信ｴﾗｰ";

const std::string kClock = "TW20070606091500";  // the clock setting at the harness's time
const std::string kName = "^#abc@3*44";         // file abc, 3 records, CrcType 0
const std::string kRec0 = "^0abc*DE";
const std::string kBadRec0 = "^0abc*DF";
// Half-width katakana, ソ and 表 (trail byte 0x5C), ① (0x8740), ～, IBM rows 0xED40 and 0xFA40,
// and bytes that are no CP932 at all.
const std::string kJapanese =
    "\xB1\xB2\xB3,\x83\x5C\x95\x5C,\x87\x40\x81\x60,\xED\x40\xFA\x40,\x85\x40\xA0\xFD,\"q\"";

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

// On top of what the previous transfer of an automatic cycle left: back-up, log and counter.
TEST(TerminalExchange, ExampleExchangeByteForByte) {
    TerminalHarness h([](Settings& s) { s.TimeAdjust = "1"; });
    writeFile(h.ctx().backFile, "stale\r\n");
    writeFile(h.saveFolder() / "LOG.TXT", "stale\r\n");
    h.ctx().recordCounter = 7;
    h.script = {{"TW", "OK"},
                {"VOL", "^#abc@2*43"},
                {"ACK", "^0A,B,C*D6"},
                {"ACK", "^1D,E,F*E0"},
                {"ACK", "END"}};
    h.run();

    EXPECT_EQ(h.written(), kClock + "\rVOL\rACK\rACK\rACK\r");
    EXPECT_EQ(h.backup(), "A,B,C\r\nD,E,F\r\n");
    EXPECT_EQ(h.logText(),
              "\"2007-06-06\",\"09:15:00\",\" 0\",\"^#abc@2*43\"\r\n"
              "\"2007-06-06\",\"09:15:00\",\" 0\",\"^0A,B,C*D6\"\r\n"
              "\"2007-06-06\",\"09:15:00\",\" 1\",\"^1D,E,F*E0\"\r\n"
              "\"2007-06-06\",\"09:15:00\",\" 2\",\"END\"\r\n");
}

// Each retry limit at its boundary: one failure fewer than the limit still completes the
// transfer, the limit itself ends it with the step's message and a beep.
struct LimitCase {
    const char* name;
    std::function<std::vector<Reply>(int failures)> script;
    int limit;
    std::string error;
};

TEST(TerminalExchange, EachRetryLimitAtItsBoundary) {
    const std::string badName = "^#abc@3*45";
    const auto nameStep = [&](const std::string& bad) {
        return [=](int n) { return times(n, talk("VOL", bad)) + talk("VOL", kName, "ACK", "END"); };
    };
    const auto recordStep = [&](const std::string& bad,
                                const std::vector<Reply>& before = talk("VOL", kName)) {
        return [=](int n) {
            return before + talk("ACK", bad) + times(n - 1, talk("NAK", bad)) +
                   talk("NAK", kRec0, "ACK", "END");
        };
    };
    // Five bad frames, then the terminal resends the record before (a "9" when "0" is due).
    const std::vector<Reply> badThenRepeat = talk("VOL", kName, "ACK", kBadRec0) +
                                             times(4, talk("NAK", kBadRec0)) +
                                             talk("NAK", frameOf('9', "r", 0));
    const LimitCase cases[] = {
        {"empty name replies", nameStep(""), 7, kNoReply},
        {"bad name checksums", nameStep(badName), 6, kNameChecksum},
        {"name format errors", nameStep("^$abc@3*44"), 6, kNameFormat},
        {"empty record steps", recordStep(""), 5, kRecordTimeout},
        {"bad record checksums", recordStep(kBadRec0), 6, kRecordChecksum},
        {"record format errors", recordStep("END "), 6, kRecordFormat},
        {"bad record checksums after a repeat", recordStep(kBadRec0, badThenRepeat), 6,
         kRecordChecksum},
    };
    for (const LimitCase& c : cases) {
        for (int failures : {c.limit - 1, c.limit}) {
            SCOPED_TRACE(testing::Message() << c.name << " " << failures);
            TerminalHarness h;
            h.script = c.script(failures);
            h.run();
            const bool fails = failures == c.limit;
            EXPECT_EQ(h.ctx().completed, !fails);
            EXPECT_EQ(h.display.count("beep"), fails ? 1 : 0);
            EXPECT_EQ(h.errorMessage(), fails ? ">" + c.error : "");
        }
    }
}

// One exchange: the terminal's script, what the PC sent, the message after the time stamp (empty
// for none), the back-up and the settings.
struct ExchangeCase {
    const char* name;
    std::vector<Reply> script;
    Lines sent;
    std::string error = "";
    std::string backup = "";
    std::int16_t protocol = 0;
    std::int16_t crcType = 0;
    const char* timeAdjust = "0";
};

TEST(TerminalExchange, ProtocolsLineDropsAndNoise) {
    const std::string rec1 = frameOf('1', "d", 0);
    const auto noisy = [&](const std::string& noise) {
        return talk("VOL", kName, "ACK", kRec0, "ACK", noise + rec1, "NAK", rec1, "ACK", "END");
    };
    const Lines noisyHeard = lines("VOL", "ACK", "ACK", "NAK", "ACK");
    // Each record answers whatever the PC said last; an empty one is a silent step.
    const auto upload = [](int crcType, const Lines& records) {
        std::vector<Reply> script = talk("VOL", frameOf('#', "abc@3", crcType));
        for (const std::string& r : records)
            script.push_back({"", r});
        return script + talk("", "END");
    };
    const Lines acks = lines("VOL", "ACK", "ACK", "ACK", "ACK");
    const ExchangeCase cases[] = {
        {"protocol 0, checksum type 2, CP932 bytes",
         upload(1, {frameOf('0', kJapanese, 1), frameOf('1', "", 1), frameOf('2', "D,,F", 1)}),
         acks, "", kJapanese + "\r\n\r\nD,,F\r\n", 0, 1},
        {"protocol 1, CP932 bytes, a silent step after four records",
         upload(1, {kJapanese, "-", "D,,F", "G", "", "H"}), acks + lines("ACK", "NAK", "ACK"), "",
         kJapanese + "\r\n-\r\nD,,F\r\nG\r\nH\r\n", 1, 1},
        {"line drop during the clock setting", talk("TW", "NO CARRIER"), lines(kClock, "BEL"),
         kNameModem, "", 0, 0, "1"},
        {"clock setting read as the settings' check reads it",
         talk("TW", "OK", "VOL", kName, "ACK", kRec0, "ACK", "END"),
         lines(kClock, "VOL", "ACK", "ACK"), "", "abc\r\n", 0, 0, "10e-1"},
        {"line drop in the file name", talk("VOL", frameOf('#', "SPRING@1", 0)),
         lines("VOL", "BEL"), kNameModem},
        {"line drop among the records", talk("VOL", kName, "ACK", kRec0, "ACK", "NO CARRIER"),
         lines("VOL", "ACK", "ACK", "BEL"), kRecordModem, "abc\r\n"},
        // Noise glued before a record spoils it once; the resent record is stored once. The first
        // noise begins like a repeat of the frame before, as a late duplicate would.
        {"noise like a repeat of the frame before", noisy("^0A,B*00"), noisyHeard, "",
         "abc\r\nd\r\n"},
        {"control, high bytes and half a character before a record",
         noisy(std::string("\x00\x11\xFF\x7F\n\x81", 6)), noisyHeard, "", "abc\r\nd\r\n"},
    };
    for (const ExchangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        TerminalHarness h([&](Settings& s) {
            s.Protocol = c.protocol;
            s.CrcType = c.crcType;
            s.TimeAdjust = c.timeAdjust;
        });
        h.script = c.script;
        h.ctx().outputPath = "/previous call's output";  // no history line may name it again
        h.run();

        EXPECT_NE(h.ctx().outputPath, "/previous call's output");
        EXPECT_EQ(h.heard, c.sent);
        EXPECT_EQ(h.ctx().completed, c.error.empty());
        EXPECT_EQ(h.backup(), c.backup);
        // The log holds what arrived, byte for byte.
        EXPECT_NE(h.logText().find(c.backup.substr(0, c.backup.find('\r'))), std::string::npos);
        EXPECT_EQ(h.errorMessage(), c.error.empty() ? "" : ">" + c.error);
    }
}

TEST(TerminalExchange, SequenceWrapsAndRepeatedFramesAreAcknowledgedNotStored) {
    TerminalHarness h;
    h.script.push_back({"VOL", frameOf('#', "seq@12", 0)});
    std::string expected;
    for (int i = 0; i < 11; ++i) {
        const std::string payload = "r" + std::to_string(i);
        h.script.push_back({"", frameOf(static_cast<char>('0' + i % 10), payload, 0)});
        expected += payload + "\r\n";
        if (i == 1)
            h.script.push_back({"", frameOf('1', "dup", 0)});  // "1" again
        if (i == 8)
            h.script.push_back({"", "^9r9*00"});  // bad after 7 good steps: one retry of six
        if (i == 9)
            h.script.push_back({"", frameOf('9', "dup", 0)});  // "9" when "0" is due
    }
    h.script.push_back({"", "END"});
    h.run();

    EXPECT_EQ(h.backup(), expected);
    EXPECT_EQ(h.ctx().recordCounter, 11);
    EXPECT_EQ(h.heard.size(), 16u);  // VOL, 11 records, 2 repeats, 1 bad; END's ACK is not ours
    EXPECT_EQ(std::count(h.heard.begin(), h.heard.end(), "NAK"), 1);
    EXPECT_TRUE(h.ctx().completed);
}

TEST(TerminalExchange, OutputFileNamedBySettingsAndSafeTerminalNames) {
    struct Case {
        std::int16_t addDate;
        std::string fixFname;
        bool trailingSlash;
        bool inHome;
        std::string namePayload;
        std::string fileName;
    };
    // The name's rules are the unit's below: here the file is made where the label says. In the
    // home, an output called Back would be the back-up file it is converted from.
    const Case cases[] = {{4, "", true, false, "abc@3", "/abc-20070606-0915.txt"},
                          {3, "DATA", false, false, "../../x\\y:z@1", "/DATA-20070606.txt"},
                          {0, "", false, false, "../../x\\y:z@1", "/.._.._x_y_z.txt"},
                          {0, "Back", true, true, "abc@3", "/Back_.txt"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        TerminalHarness h([&](Settings& s) {
            s.AddDate = c.addDate;
            s.FixFname = c.fixFname;
            if (c.inHome)
                s.Folder = (fs::path(s.Folder).parent_path() / "prog").string();
            if (c.trailingSlash)
                s.Folder += "/";
        });
        const fs::path folder = c.inHome ? h.programFolder() : h.saveFolder();
        h.script = {{"VOL", frameOf('#', c.namePayload, 0)}, {"ACK", kRec0}, {"ACK", "END"}};
        h.run();
        EXPECT_EQ(h.display.last("file"), c.fileName);
        EXPECT_EQ(h.ctx().outputPath, folder.string() + c.fileName);
        EXPECT_EQ(fileBytes(folder / c.fileName.substr(1)), "abc\r\n");
        EXPECT_EQ(h.backup(), "abc\r\n");
        // The log is found with and without the trailing "/".
        EXPECT_NE(fileBytes(folder / "LOG.TXT"), "");
    }
}

// How the announced count is read: a terminal that announces an absurd count is held at the
// limits, never wrapped.
TEST(LeadingNumber, ReadsTheNumberAtTheStartOfAText) {
    EXPECT_EQ(leadingNumber(" \t-1.25x"), -1.25);
    EXPECT_EQ(leadingNumber("+7"), 7);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingInteger("2.5"), 2);
    EXPECT_EQ(leadingInteger("99999999999999999999"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(leadingInteger("-99999999999999999999"), std::numeric_limits<std::int64_t>::min());
}

// Whoever names the output file, operator or terminal, it stays a file of its own in the save
// folder: not above it, not a Windows device, not one of the program's own files, not too long.
TEST(OutputFileName, StaysAFileOfItsOwnInTheSaveFolder) {
    const LocalDateTime when{2007, 6, 6, 9, 15, 0};
    const std::pair<std::string, std::string> names[] = {
        {"../x\\y:z", ".._x_y_z.txt"}, {"NUL", "NUL_.txt"},   {"Aux.txt", "Aux_.txt.txt"},
        {"prn.a.b", "prn_.a.b.txt"},   {"nul ", "nul _.txt"}, {"com1", "com1_.txt"},
        {"LPT9", "LPT9_.txt"},         {"com0", "com0.txt"},  {"COM10", "COM10.txt"},
        {"console", "console.txt"},    {"LOG", "LOG_.txt"},   {"log", "log_.txt"},
        {"2026-12", "2026-12_.txt"},   {"Back", "Back.txt"},  {"a\tb\x7F", "a_b_.txt"},
    };
    for (const auto& [name, file] : names) {
        EXPECT_EQ(outputFileName(0, name, "", when, false).substr(1), file) << name;
        EXPECT_EQ(outputFileName(0, "", name, when, false).substr(1), file) << name;
    }
    EXPECT_EQ(outputFileName(0, "", "a\x85\x40\xA0", when, false).substr(1), "a__.txt");
    EXPECT_EQ(outputFileName(0, "", std::string(300, 'a'), when, false).substr(1),
              std::string(250, 'a') + ".txt");
    EXPECT_EQ(outputFileName(0, "Back", "", when, true).substr(1), "Back_.txt");
    EXPECT_EQ(outputFileName(3, "LOG", "", when, false).substr(1), "LOG-20070606.txt");
    EXPECT_EQ(outputFileName(1, "LOG", "", when, false).substr(1), "20070606.txt");
    EXPECT_EQ(outputFileName(2, "", "x", when, false).substr(1), "20070606-0915.txt");
    EXPECT_EQ(outputFileName(4, std::string(300, 'a'), "", when, false).substr(1),
              std::string(236, 'a') + "-20070606-0915.txt");
    std::string wide;
    for (int i = 0; i < 100; ++i)
        wide += "受";
    EXPECT_EQ(outputFileName(0, wide, "", when, false).substr(1), wide.substr(0, 83 * 3) + ".txt");
    // The home named with a trailing separator is the home still: Windows finds no folder by
    // such a name.
    const TempFolder home;
    EXPECT_TRUE(isSameFolder(home.path() / "", home.path()));
}

}  // namespace
}  // namespace karune::test
