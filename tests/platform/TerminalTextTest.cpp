#include <gtest/gtest.h>

#include "LineSplitter.h"
#include "RecordFile.h"
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

struct SplitCase {
    std::vector<std::string> feeds;
    std::vector<std::string> lines;
};

TEST(LineSplitter, LinesEndAtCarriageReturn) {
    const SplitCase cases[] = {
        {{"ATE0\r"}, {"ATE0"}},
        {{"AT", "E0", "\r"}, {"ATE0"}},
        {{"+++" + std::string(1, '\0') + "\rATH0\r"}, {"+++", "ATH0"}},
        {{"VOL\r\nACK\r"}, {"VOL", "ACK"}},
        {{"\r"}, {""}},
        {{"no end"}, {}},
    };
    for (const SplitCase& c : cases) {
        LineSplitter splitter;
        std::vector<std::string> lines;
        for (const std::string& feed : c.feeds) {
            for (std::string& line : splitter.feed(feed))
                lines.push_back(std::move(line));
        }
        EXPECT_EQ(lines, c.lines) << c.feeds.front();
    }
}

struct RecordsCase {
    std::string file;
    std::vector<std::string> records;
};

TEST(RecordFile, OneRecordPerLineBytesKept) {
    const RecordsCase cases[] = {
        {"", {}},
        {"A,B,C", {"A,B,C"}},
        {"A,B,C\nD,E,F\n", {"A,B,C", "D,E,F"}},
        {"A\r\nB\r\n", {"A", "B"}},
        {"A\n\nB\n", {"A", "", "B"}},
        {"\x82\xa0\x82\xa2\n\xb1\n", {"\x82\xa0\x82\xa2", "\xb1"}},
        {"\n", {""}},
    };
    for (const RecordsCase& c : cases)
        EXPECT_EQ(splitRecords(c.file), c.records) << c.file;
}

}  // namespace
}  // namespace karune::modemsim
