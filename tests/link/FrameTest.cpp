#include "link/Frame.h"

#include <gtest/gtest.h>

#include <string>

namespace karune {
namespace {

struct WorkedExample {
    const char* name;
    int crcType;
    std::string covered;
    std::string checksum;
    std::string frame;
    char sequence;
};

const WorkedExample kWorkedExamples[] = {
    {"record, type 1", 0, "^0abc*", "DE", "^0abc*DE", '0'},
    {"record, type 2", 1, "abc*", "50", "^0abc*50", '0'},
    {"file name, type 1", 0, "^#abc@3*", "44", "^#abc@3*44", '#'},
    {"file name, type 2", 1, "abc@3*", "C3", "^#abc@3*C3", '#'},
};

TEST(FrameChecksum, MatchesTheWorkedExamples) {
    for (const WorkedExample& e : kWorkedExamples) {
        EXPECT_EQ(FrameChecksum(e.covered), e.checksum) << e.name;
    }
}

TEST(FrameChecksum, IsTwoUpperCaseDigitsOfTheByteSumModulo256) {
    EXPECT_EQ(FrameChecksum(""), "00");
    EXPECT_EQ(FrameChecksum("\x01"), "01");
    EXPECT_EQ(FrameChecksum("\x0F"), "0F");
    EXPECT_EQ(FrameChecksum("\xFF"), "FF");
    EXPECT_EQ(FrameChecksum("\xFF\x01"), "00");
    EXPECT_EQ(FrameChecksum("\xFF\xFF\xFF"), "FD");  // 765 mod 256
    // ソ in CP932 is 0x83 0x5C: both bytes count.
    EXPECT_EQ(FrameChecksum("\x83\x5C"), "DF");
}

TEST(CheckFrame, AcceptsTheWorkedExamplesOnlyUnderTheirOwnVariant) {
    for (const WorkedExample& e : kWorkedExamples) {
        EXPECT_EQ(CheckFrame(e.frame, e.sequence, e.crcType), FrameCheck::Valid) << e.name;
        EXPECT_EQ(CheckFrame(e.frame, e.sequence, e.crcType == 0 ? 1 : 0),
                  FrameCheck::ChecksumError)
            << e.name;
    }
}

TEST(CheckFrame, AnyNonZeroCrcTypeCoversThePayloadOnly) {
    EXPECT_EQ(CheckFrame("^0abc*50", '0', 2), FrameCheck::Valid);
    EXPECT_EQ(CheckFrame("^0abc*50", '0', -1), FrameCheck::Valid);
}

struct CheckCase {
    const char* name;
    std::string line;
    char sequence;
    int crcType;
    FrameCheck expected;
};

TEST(CheckFrame, ClassifiesEveryKindOfLine) {
    const CheckCase cases[] = {
        {"lower-case checksum", "^0abc*de", '0', 0, FrameCheck::ChecksumError},
        {"wrong checksum", "^0abc*DF", '0', 0, FrameCheck::ChecksumError},
        {"RING in the payload", "^0aRINGb*" + FrameChecksum("^0aRINGb*"), '0', 0,
         FrameCheck::ModemError},
        {"NO CARRIER with garbage", "xx\r\nNO CARRIER\r\n", '0', 0, FrameCheck::ModemError},
        {"BUSY before the marks are tested", "BUSY", '0', 0, FrameCheck::ModemError},
        {"previous sequence character", "^0abc*DE", '1', 0, FrameCheck::FormatError},
        {"file name expected, record sent", "^0abc*DE", '#', 0, FrameCheck::FormatError},
        {"no start mark", "-0abc*DE", '0', 0, FrameCheck::FormatError},
        {"no star", "^0abc-DE", '0', 0, FrameCheck::FormatError},
        {"star one place early", "^0ab*cDE", '0', 0, FrameCheck::FormatError},
        {"empty payload, type 1", "^0*" + FrameChecksum("^0*"), '0', 0, FrameCheck::Valid},
        {"empty payload, type 2", "^0*" + FrameChecksum("*"), '0', 1, FrameCheck::Valid},
        {"empty payload, type 2 with the type 1 sum", "^0*" + FrameChecksum("^0*"), '0', 1,
         FrameCheck::ChecksumError},
        {"file name frame, empty payload", "^#*" + FrameChecksum("^#*"), '#', 0, FrameCheck::Valid},
        // 0x5E+0x30+0x83+0x5C+0x2A = 407 = 0x197; 0x83+0x5C+0x2A = 265 = 0x109.
        {"double-byte payload with a 0x5C trail byte, type 1", "^0\x83\x5C*97", '0', 0,
         FrameCheck::Valid},
        {"double-byte payload with a 0x5C trail byte, type 2", "^0\x83\x5C*09", '0', 1,
         FrameCheck::Valid},
        {"hyo and nou, both with 0x5C trail bytes",
         "^0\x95\x5C\x94\x5C*" + FrameChecksum("^0\x95\x5C\x94\x5C*"), '0', 0, FrameCheck::Valid},
        {"double-byte character where the sequence belongs",
         "^\x83\x5C"
         "abc*" +
             FrameChecksum("^\x83\x5C"
                           "abc*"),
         '0', 0, FrameCheck::FormatError},
        // The trail byte 0x52 is "R": no modem word starts inside a character.
        {"trail byte R followed by ING", "^0\x83RING*" + FrameChecksum("^0\x83RING*"), '0', 0,
         FrameCheck::Valid},
        {"empty line", "", '0', 0, FrameCheck::FormatError},
        {"one character", "^", '0', 0, FrameCheck::FormatError},
        {"two characters", "^0", '0', 0, FrameCheck::FormatError},
        {"three characters", "^0*", '0', 0, FrameCheck::FormatError},
        {"four characters", "^0*0", '0', 0, FrameCheck::FormatError},
        {"four characters counting a double-byte one", "^0*\x83\x5C", '0', 0,
         FrameCheck::FormatError},
    };
    for (const CheckCase& c : cases) {
        EXPECT_EQ(CheckFrame(c.line, c.sequence, c.crcType), c.expected) << c.name;
    }
}

TEST(FramePayload, IsTheBytesBetweenSequenceAndStarAsReceived) {
    EXPECT_EQ(FramePayload("^0abc*DE"), "abc");
    EXPECT_EQ(FramePayload("^#abc@3*44"), "abc@3");
    EXPECT_EQ(FramePayload("^0*" + FrameChecksum("^0*")), "");
    EXPECT_EQ(FramePayload("^0\x83\x5C*97"), "\x83\x5C");
}

}  // namespace
}  // namespace karune
