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
        // Cut at the limit as soon as it is reached, the rest of the babble dropped.
        {"a babbling line",
         {{head, 0ms}, {"0123456789", 50ms}, {"next\r", 100ms}},
         head + "01234",
         50ms,
         "next"},
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
