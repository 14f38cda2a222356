#include "RecordText.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "link/Cp932.h"
#include "link/ModemWords.h"

namespace karune::bench {
namespace {

std::vector<std::string> lines(std::uint32_t seed, int count, int fields) {
    RecordText text(seed);
    std::vector<std::string> out(static_cast<std::size_t>(count));
    for (std::string& line : out)
        text.appendLine(fields, line);
    return out;
}

class RecordTextFieldsTest : public ::testing::TestWithParam<int> {};

TEST_P(RecordTextFieldsTest, EveryLineHasTheFieldCountAndIsAValidFramePayload) {
    const int fields = GetParam();
    for (const std::string& line : lines(3, 2000, fields)) {
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), fields - 1) << line;
        EXPECT_TRUE(cp932ToUtf8(line)) << line;
        EXPECT_EQ(line.find_first_of("*^@\r\n"), std::string::npos) << line;
        EXPECT_FALSE(containsModemResultWord(line)) << line;
        EXPECT_FALSE(containsWord(line, "OK")) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, RecordTextFieldsTest, ::testing::Values(1, 7, 20));

TEST(RecordTextTest, HoldsJapaneseDoubleByteAndEmptyFields) {
    bool doubleByte = false;
    bool emptyField = false;
    for (const std::string& line : lines(5, 200, 20)) {
        doubleByte = doubleByte || cp932CharCount(line) < line.size();
        emptyField = emptyField || line.find(",,") != std::string::npos;
    }
    EXPECT_TRUE(doubleByte);
    EXPECT_TRUE(emptyField);
}

TEST(RecordTextTest, TheSeedDecidesTheLines) {
    EXPECT_EQ(lines(9, 50, 20), lines(9, 50, 20));
    EXPECT_NE(lines(9, 50, 20), lines(10, 50, 20));
}

}  // namespace
}  // namespace karune::bench
