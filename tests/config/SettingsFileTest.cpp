#include "config/SettingsFile.h"

#include <gtest/gtest.h>

#include <string>

#include "link/Cp932.h"

namespace karune {
namespace {

// The default record with save folder C:\Data, as the writer lays it out.
const std::string kDefaultLine =
    "0,\"\",\"C:\\Data\",1,0,0,0,0,0,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,\"1\"\r\n";

// The default record with the first `from` in it replaced by `to`.
std::string spoilt(const std::string& from, const std::string& to) {
    std::string line = kDefaultLine;
    return line.replace(line.find(from), from.size(), to);
}

TEST(SettingsFile, WritesTheDefaultRecordByteForByteAndReadsItBack) {
    const auto line = encodeSettingsLine(defaultSettings("C:\\Data"));
    ASSERT_TRUE(line.ok()) << line.error;
    EXPECT_EQ(line.bytes, kDefaultLine);
    EXPECT_EQ(parseSettingsText(line.bytes), defaultSettings("C:\\Data"));
}

TEST(SettingsFile, RoundTripsNegativeNumbersCommasAndJapaneseTextInCp932) {
    Settings s = defaultSettings("/srv/受信,データ");
    s.AddDate = -32768;
    s.FixFname = "ﾃﾞｰﾀ 1";
    s.Port = 32767;
    s.CrcType = -1;
    s.OverWrite = 1;
    s.StartUpSize = -2;
    s.AutoStart = 1;
    s.Protocol = 300;
    s.field(1) = 0;
    s.field(7) = -5;
    s.field(20) = 12;
    s.TimeAdjust = "0.5";
    const auto line = encodeSettingsLine(s);
    ASSERT_TRUE(line.ok()) << line.error;
    EXPECT_EQ(parseSettingsText(line.bytes), s);
    // "ﾃﾞｰﾀ" is four half-width katakana bytes; 受信 and データ are double-byte in CP932.
    EXPECT_EQ(line.bytes.substr(0, 22), "-32768,\"\xC3\xDE\xB0\xC0 1\",\"/srv/");
    EXPECT_NE(line.bytes.find(",32767,-1,1,-2,1,300,0,1,1,1,1,1,-5,"), std::string::npos);
    EXPECT_TRUE(line.bytes.ends_with(",12,\"0.5\"\r\n"));
    EXPECT_EQ(line.bytes.find("受"), std::string::npos) << "texts must not stay UTF-8";
}

TEST(SettingsFile, RefusesTextsThatWouldNotReadBack) {
    struct Case {
        const char* name;
        void (*spoil)(Settings&);
        const char* field;
    };
    const Case cases[] = {
        {"quote in folder", [](Settings& s) { s.Folder = "C:\\a\"b"; }, "Folder"},
        {"line break in name", [](Settings& s) { s.FixFname = "a\nb"; }, "FixFname"},
        {"not in CP932", [](Settings& s) { s.Folder = "/home/jos\xC3\xA9"; }, "Folder"},
    };
    for (const auto& c : cases) {
        Settings s = defaultSettings("/data");
        c.spoil(s);
        const auto line = encodeSettingsLine(s);
        EXPECT_FALSE(line.ok()) << c.name;
        EXPECT_TRUE(line.bytes.empty()) << c.name;
        EXPECT_NE(line.error.find(c.field), std::string::npos) << c.name << ": " << line.error;
    }  // glibc writes these as codes that read back as other characters.
    for (const char* c : {"¢", "£", "¬", "‖", "−", "〜", "—"}) {
        Settings folder = defaultSettings(std::string("/srv/4月") + c), name = defaultSettings("/");
        name.FixFname = std::string("4月") + c;
        EXPECT_NE(encodeSettingsLine(folder).error.find("Folder"), std::string::npos) << c;
        EXPECT_NE(encodeSettingsLine(name).error.find("FixFname"), std::string::npos) << c;
    }
}

TEST(SettingsFile, RefusesTooFewItemsOrItemsThatAreNotOfTheirFieldsType) {
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"29 items", spoilt(",\"1\"", "")},
        {"empty file", ""},
        {"letters for a number", spoilt("0,", "abc,")},
        {"fraction", spoilt("\",1,0,", "\",1,1.0,")},
        {"above 16 bits", spoilt("\",1,", "\",32768,")},
        {"characters after a closing quote", spoilt("Data\"", "Data\"x")},
        {"quote left open at the line end", spoilt("\"\",", "\"abc,")},
        {"text that is not CP932", spoilt("\"\",", "\"\x81\",")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseSettingsText(c.text), std::nullopt) << c.name;
}

}  // namespace
}  // namespace karune
