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

TEST(CheckFrame, BothChecksumTypesAcceptTheWorkedExamplesOnlyUnderTheirOwnType) {
    for (const WorkedExample& e : kWorkedExamples) {
        EXPECT_EQ(FrameChecksum(e.covered), e.checksum) << e.name;
        EXPECT_EQ(CheckFrame(e.frame, e.sequence, e.crcType), FrameCheck::Valid) << e.name;
        EXPECT_EQ(CheckFrame(e.frame, e.sequence, e.crcType == 0 ? 1 : 0),
                  FrameCheck::ChecksumError)
            << e.name;
    }
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
        {"wrong checksum", "^0abc*DF", '0', 0, FrameCheck::ChecksumError},
        {"RING in the payload", "^0aRINGb*" + FrameChecksum("^0aRINGb*"), '0', 0,
         FrameCheck::ModemError},
        {"NO CARRIER with garbage", "xx\r\nNO CARRIER\r\n", '0', 0, FrameCheck::ModemError},
        {"previous sequence character", "^0abc*DE", '1', 0, FrameCheck::FormatError},
        {"no start mark", "-0abc*DE", '0', 0, FrameCheck::FormatError},
        {"no star", "^0abc-DE", '0', 0, FrameCheck::FormatError},
        {"empty payload, type 2", "^0*" + FrameChecksum("*"), '0', 1, FrameCheck::Valid},
        {"double-byte payload with a 0x5C trail byte, type 1", "^0\x83\x5C*97", '0', 0,
         FrameCheck::Valid},
        // The trail byte 0x52 is "R": no modem word starts inside a character.
        {"trail byte R followed by ING", "^0\x83RING*" + FrameChecksum("^0\x83RING*"), '0', 0,
         FrameCheck::Valid},
        {"four characters counting a double-byte one", "^0*\x83\x5C", '0', 0,
         FrameCheck::FormatError},
    };
    for (const CheckCase& c : cases) {
        EXPECT_EQ(CheckFrame(c.line, c.sequence, c.crcType), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace karune
