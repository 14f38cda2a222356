#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "session/FileNameFrame.h"
#include "session/LeadingNumber.h"
#include "session/OutputName.h"

namespace karune {
namespace {

const LocalDateTime kWhen{2007, 6, 6, 9, 5, 7};

TEST(OutputName, AddDateRules) {
    struct Case {
        int addDate;
        std::string fixFname;
        std::string name;
        std::string expected;
    };
    const Case cases[] = {
        {0, "", "abc", "/abc.txt"},
        {1, "", "abc", "/20070606.txt"},
        {2, "", "abc", "/20070606-0905.txt"},
        {3, "", "abc", "/abc-20070606.txt"},
        {4, "", "abc", "/abc-20070606-0905.txt"},
        {3, "DATA", "abc", "/DATA-20070606.txt"},
        {0, "DATA", "abc", "/DATA.txt"},
        {1, "DATA", "abc", "/20070606.txt"},
        {5, "", "abc", "/abc.txt"},
        {-1, "", "abc", "/abc.txt"},
        {0, "日報", "abc", "/日報.txt"},  // the operator's name is used as it is
    };
    for (const Case& c : cases) {
        EXPECT_EQ(outputFileName(c.addDate, c.fixFname, c.name, kWhen), c.expected)
            << c.addDate << " " << c.fixFname;
    }
}

TEST(OutputName, FolderLosesOneTrailingSeparator) {
    EXPECT_EQ(outputPathFor("/data/recv", "/abc.txt"), "/data/recv/abc.txt");
    EXPECT_EQ(outputPathFor("/data/recv/", "/abc.txt"), "/data/recv/abc.txt");
    EXPECT_EQ(outputPathFor("/", "/abc.txt"), "/abc.txt");
    EXPECT_EQ(outputPathFor("rel//", "/abc.txt"), "rel//abc.txt");
}

TEST(OutputName, TerminalNameIsMadeSafe) {
    struct Case {
        std::string cp932;
        std::string utf8;
    };
    const Case cases[] = {
        {"abc", "abc"},
        {"../etc/passwd", ".._etc_passwd"},
        {"a\\b", "a_b"},
        {"<>:\"|?*", "_______"},
        {std::string("a\x01\x1F\x7F", 4) + "b", "a___b"},
        {std::string("a\0b", 3), "a_b"},
        {"\xB6\xD9\xC8", "ｶﾙﾈ"},
        {"\x83\x5C\x95\x5C", "ソ表"},  // trail byte 0x5C is no backslash
        {"\x87\x40", "①"},
        {"\x85\x40x", "_x"},  // undecodable double-byte code
        {"\xA0x", "_x"},
        {"x\x81", "x_"},  // lone lead byte at the end
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(safeFileBaseName(c.cp932), c.utf8);
}

TEST(FileNameFrame, NameAndCount) {
    struct Case {
        std::string frame;
        bool parsed;
        std::string name;
        std::int64_t count;
    };
    const Case cases[] = {
        {"^#abc@2*43", true, "abc", 2},
        {"^#abc@3*44", true, "abc", 3},
        {"^#@7*00", true, "", 7},
        {"^#a@b@9*00", true, "a", 0},  // the first "@" counts
        {"^#x@40000*00", true, "x", 40000},
        {"^#x@123456789012*00", true, "x", 123456789012},
        {"^#x@-4*00", true, "x", -4},
        {"^#x@2.5*00", true, "x", 2},
        {"^#x@3.5*00", true, "x", 4},
        {"^#x@*00", true, "x", 0},
        {"^#\x87\x40@1*00", true, "\x87\x40", 1},  // 0x40 trail byte is not "@"
        {"^#abc*00", false, "", 0},
        {"^#\x87\x40*00", false, "", 0},
    };
    for (const Case& c : cases) {
        const std::optional<FileNameFrame> f = parseFileNameFrame(c.frame);
        ASSERT_EQ(f.has_value(), c.parsed) << c.frame;
        if (!f)
            continue;
        EXPECT_EQ(f->name, c.name) << c.frame;
        EXPECT_EQ(f->announcedCount, c.count) << c.frame;
    }
}

TEST(LeadingNumber, ReadsLikeTheSettingsAndFrames) {
    struct Case {
        std::string text;
        double value;
    };
    const Case cases[] = {{"1", 1},     {" 1", 1},   {"1.0", 1},  {"01", 1}, {"1abc", 1},
                          {"", 0},      {"abc", 0},  {"-2*", -2}, {"+3", 3}, {"0.25x", 0.25},
                          {"12 3", 12}, {".5", 0.5}, {"\t7", 7}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.value) << c.text;
    EXPECT_EQ(leadingInteger("99999999999999999999999"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(leadingInteger("-99999999999999999999999"), std::numeric_limits<std::int64_t>::min());
}

}  // namespace
}  // namespace karune
