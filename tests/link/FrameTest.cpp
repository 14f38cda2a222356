#include "link/Frame.h"

#include <gtest/gtest.h>

#include <string>

namespace karune {
namespace {

struct CheckCase {
    const char* name;
    std::string line;
    char sequence;
    int crcType;
    FrameCheck expected;
};

// The worked examples of both checksum types, each valid only under its own, and every kind of
// bad line.
TEST(CheckFrame, ClassifiesEveryKindOfLine) {
    const CheckCase cases[] = {
        {"record, type 1", "^0abc*DE", '0', 0, FrameCheck::Valid},
        {"record, type 2", "^0abc*50", '0', 1, FrameCheck::Valid},
        {"file name, type 1", "^#abc@3*44", '#', 0, FrameCheck::Valid},
        {"file name, type 2", "^#abc@3*C3", '#', 1, FrameCheck::Valid},
        {"record of type 1 under type 2", "^0abc*DE", '0', 1, FrameCheck::ChecksumError},
        {"file name of type 2 under type 1", "^#abc@3*C3", '#', 0, FrameCheck::ChecksumError},
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
