#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "linesim/SimulatedLine.h"
#include "linesim/VirtualClock.h"
#include "link/Frame.h"
#include "link/LineIo.h"

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

using namespace std::chrono_literals;
using sim::SimulatedLine;
using sim::VirtualClock;

struct Delivery {
    std::string bytes;
    Clock::Duration at;  // after the read starts
};

struct ReceiveCase {
    const char* name;
    std::vector<Delivery> deliveries;
    std::string reply;
    Clock::Duration returnsAt;  // virtual time at which ReceiveLine came back
    std::string next = "";      // the reply after it
};

TEST(ReceiveLine, EndsRepliesAsTheLineFallsSilent) {
    const std::string head(LineIo::kMaxReply - 5, 'a');
    const ReceiveCase cases[] = {
        {"OK CR in one chunk", {{"OK\r", 30ms}}, "OK", 130ms},
        {"a lone CR ends the reply at once", {{"^0abc*DE", 20ms}, {"\r", 70ms}}, "^0abc*DE", 70ms},
        {"chunks closer than the quiet gap are joined",
         {{"^0ab", 0ms}, {"c*", 90ms}, {"DE\r", 180ms}},
         "^0abc*DE",
         280ms},
        {"a double-byte character split across chunks stays whole",
         {{"^0\x83", 0ms}, {"\x5C*97\r", 40ms}},
         "^0\x83\x5C*97",
         140ms},
        {"a first byte just in time", {{"OK\r", 2000ms}}, "OK", 2100ms},
        {"a first byte too late", {{"OK\r", 2001ms}}, "", 2000ms, "OK"},
        // Cut at the limit as soon as it is reached; the rest of the babble is the next reply's
        // start, for a modem's last word may be in it.
        {"a babbling line",
         {{head, 0ms}, {"0123456789", 50ms}, {"next\r", 100ms}},
         head + "01234",
         50ms,
         "56789next"},
    };
    for (const ReceiveCase& c : cases) {
        VirtualClock clock;
        SimulatedLine line(clock);
        for (const Delivery& d : c.deliveries)
            line.deliver(d.bytes, d.at);
        LineIo io(line, clock);
        EXPECT_EQ(io.ReceiveLine(), c.reply) << c.name;
        EXPECT_EQ(clock.elapsed(), c.returnsAt) << c.name;
        EXPECT_EQ(io.ReceiveLine(), c.next) << c.name;
    }
}

}  // namespace
}  // namespace karune
