#include "link/LineIo.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "linesim/SimulatedLine.h"
#include "linesim/VirtualClock.h"

namespace karune {
namespace {

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
};

TEST(ReceiveLine, EndsRepliesAsTheLineFallsSilent) {
    const ReceiveCase cases[] = {
        {"OK CR in one chunk", {{"OK\r", 30ms}}, "OK", 130ms},
        {"modem answer keeps its CR LF pairs", {{"\r\nOK\r\n", 0ms}}, "\r\nOK\r\n", 100ms},
        {"a lone CR ends the reply at once", {{"^0abc*DE", 20ms}, {"\r", 70ms}}, "^0abc*DE", 70ms},
        {"chunks closer than the quiet gap are joined",
         {{"^0ab", 0ms}, {"c*", 90ms}, {"DE\r", 180ms}},
         "^0abc*DE",
         280ms},
        {"a chunk exactly one gap later still belongs to the reply",
         {{"AB", 0ms}, {"CD", 100ms}},
         "ABCD",
         200ms},
        {"only one trailing CR is removed", {{"OK\r\r", 0ms}}, "OK\r", 100ms},
        {"two lines within one gap come back as one", {{"L1\rL2\r", 0ms}}, "L1\rL2", 100ms},
        {"a double-byte character split across chunks stays whole",
         {{"^0\x83", 0ms}, {"\x5C*97\r", 40ms}},
         "^0\x83\x5C*97",
         140ms},
        {"nothing arrives: empty after the first-character wait", {}, "", 2000ms},
        {"a first byte just in time", {{"OK\r", 2000ms}}, "OK", 2100ms},
        {"a first byte too late", {{"OK\r", 2001ms}}, "", 2000ms},
    };
    for (const ReceiveCase& c : cases) {
        VirtualClock clock;
        SimulatedLine line(clock);
        for (const Delivery& d : c.deliveries)
            line.deliver(d.bytes, d.at);
        LineIo io(line, clock);
        EXPECT_EQ(io.ReceiveLine(), c.reply) << c.name;
        EXPECT_EQ(clock.elapsed(), c.returnsAt) << c.name;
    }
}

TEST(ReceiveLine, LeavesWhatComesAfterAGapForTheNextReplyAndSilenceTakesTwoSecondsEveryTime) {
    VirtualClock clock;
    SimulatedLine line(clock);
    line.deliver("\r\nRING\r\n", 10ms);
    line.deliver("\r\nRING\r\n", 150ms);
    LineIo io(line, clock);
    EXPECT_EQ(io.ReceiveLine(), "\r\nRING\r\n");
    EXPECT_EQ(io.ReceiveLine(), "\r\nRING\r\n");
    EXPECT_EQ(clock.elapsed(), 250ms);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(io.ReceiveLine(), "");
        EXPECT_EQ(clock.elapsed(), 250ms + i * 2000ms);
    }
}

TEST(ReceiveLine, CutsABabblingLineAtTheLimit) {
    VirtualClock clock;
    SimulatedLine line(clock);
    const std::string head(LineIo::kMaxReply - 5, 'a');
    line.deliver(head, 0ms);
    line.deliver("0123456789", 50ms);
    line.deliver("next\r", 100ms);
    LineIo io(line, clock);

    const std::string reply = io.ReceiveLine();
    EXPECT_EQ(reply.size(), LineIo::kMaxReply);
    EXPECT_EQ(reply, head + "01234");
    // It returned as soon as the limit was reached, without waiting for the line to fall silent.
    EXPECT_EQ(clock.elapsed(), 50ms);
    EXPECT_EQ(io.ReceiveLine(), "next");
}

// Counts writes, to see that a line goes out in one piece; may refuse every byte.
class WriteRecorder : public SerialLine {
public:
    std::string readUntil(Clock::TimePoint) override { return {}; }
    bool write(std::string_view bytes) override {
        writes.emplace_back(bytes);
        return accepts;
    }
    std::vector<std::string> writes;
    bool accepts = true;
};

TEST(SendLine, WritesTheTextAndOneCrInASingleWrite) {
    VirtualClock clock;
    WriteRecorder line;
    LineIo io(line, clock);
    io.SendLine("ATE0");
    io.SendLine(std::string_view("+++\0", 4));
    io.SendLine("");
    io.SendLine("\x83\x5C");
    const std::vector<std::string> expected = {"ATE0\r", std::string("+++\0\r", 5), "\r",
                                               "\x83\x5C\r"};
    EXPECT_EQ(line.writes, expected);
    EXPECT_EQ(clock.elapsed(), 0ms);

    line.accepts = false;  // a line that refuses bytes is tried once, not again
    io.SendLine("ATH0");
    EXPECT_EQ(line.writes.size(), expected.size() + 1);
}

}  // namespace
}  // namespace karune
