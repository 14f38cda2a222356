#include "link/Cp932.h"

#include <gtest/gtest.h>

namespace karune {
namespace {

struct CharCountCase {
    const char* name;
    std::string bytes;
    std::size_t characters;
};

TEST(Cp932, CountsDoubleByteCharactersAsOne) {
    const CharCountCase cases[] = {
        {"ascii", "abc", 3},
        {"half-width katakana", "\xB1\xB2", 2},
        {"so with 0x5C trail byte", "\x83\x5C", 1},
        {"NEC row 13", "\x87\x40", 1},
        {"lone lead byte at the end", "a\x81", 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cp932CharCount(c.bytes), c.characters) << c.name;
}

TEST(Cp932, FindsWordsOnlyOnCharacterBoundaries) {
    // 0x83 0x52 is a katakana whose trail byte is "R": "RING" must not be found inside it.
    EXPECT_EQ(findOnCharBoundary("\x83RING", "RING"), std::string_view::npos);
    EXPECT_EQ(findOnCharBoundary("\x83\x52ING", "RING"), std::string_view::npos);
    EXPECT_EQ(findOnCharBoundary("\r\nRING\r\n", "RING"), 2u);
    EXPECT_EQ(findOnCharBoundary("\x83\x5CRING", "RING"), 2u);
}

TEST(Cp932, DecodesAndEncodesJapaneseText) {
    EXPECT_EQ(cp932ToUtf8("\x83\x5C\x95\x5C"), "ソ表");
    EXPECT_EQ(cp932ToUtf8("\xBA\xDD"), "ｺﾝ");
    EXPECT_EQ(utf8ToCp932("ﾀｲﾑｱｳﾄ"), "\xC0\xB2\xD1\xB1\xB3\xC4");
    EXPECT_EQ(utf8ToCp932("①～"), "\x87\x40\x81\x60");
    // Control bytes stay what they are.
    EXPECT_EQ(cp932ToUtf8("\x1A\x1C\x7F"), "\x1A\x1C\x7F");
}

TEST(Cp932, StrictConversionRefusesWhatCannotBeRepresented) {
    EXPECT_FALSE(cp932ToUtf8("\x81").has_value());
    EXPECT_FALSE(cp932ToUtf8("\xA0").has_value());
    EXPECT_FALSE(utf8ToCp932("\xF0\x9F\x98\x80").has_value());  // emoji
}

}  // namespace
}  // namespace karune
