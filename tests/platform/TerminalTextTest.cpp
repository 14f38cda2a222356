#include <gtest/gtest.h>

#include "TerminalFrames.h"
#include "link/Frame.h"

namespace karune::modemsim {
namespace {

struct FrameCase {
    char sequence;
    std::string payload;
    int crcType;
    std::string frame;
};

TEST(TerminalFrames, RecordFramesCarryTheChecksumOfTheirVariant) {
    const FrameCase cases[] = {
        {'0', "abc", 0, "^0abc*DE"},
        {'0', "abc", 1, "^0abc*50"},
        {'0', "A,B,C", 0, "^0A,B,C*D6"},
        {'1', "D,E,F", 0, "^1D,E,F*E0"},
        {'5', "", 0, "^5*" + FrameChecksum("^5*")},
        {'5', "", 1, "^5*2A"},
        // hiragana, kanji, half-width kana; type 2 leaves out "^7"
        {'7', "\x82\xa0\x8a\xbf,\xb1\xb2", 0, "^7\x82\xa0\x8a\xbf,\xb1\xb2*B9"},
        {'7', "\x82\xa0\x8a\xbf,\xb1\xb2", 1, "^7\x82\xa0\x8a\xbf,\xb1\xb2*24"},
    };
    for (const FrameCase& c : cases) {
        const std::string frame = recordFrame(c.sequence, c.payload, c.crcType);
        EXPECT_EQ(frame, c.frame);
        EXPECT_EQ(CheckFrame(frame, c.sequence, c.crcType), FrameCheck::Valid) << frame;
        EXPECT_EQ(FramePayload(frame), c.payload);
    }
}

TEST(TerminalFrames, CorruptFramesFailOnlyTheirChecksum) {
    for (int crcType : {0, 1}) {
        const std::string bad = recordFrame('3', "X,Y", crcType, true);
        EXPECT_EQ(CheckFrame(bad, '3', crcType), FrameCheck::ChecksumError) << bad;
        EXPECT_EQ(bad.substr(0, bad.size() - 2),
                  recordFrame('3', "X,Y", crcType).substr(0, bad.size() - 2));
    }
}

TEST(TerminalFrames, FileNameFrame) {
    EXPECT_EQ(fileNameFrame("abc", 3, 0), "^#abc@3*44");
    EXPECT_EQ(fileNameFrame("abc", 3, 1), "^#abc@3*C3");
    EXPECT_EQ(fileNameFrame("abc", 2, 0), "^#abc@2*43");
    EXPECT_EQ(CheckFrame(fileNameFrame("DATA", 120, 1), '#', 1), FrameCheck::Valid);
}

}  // namespace
}  // namespace karune::modemsim
