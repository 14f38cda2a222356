#include <gtest/gtest.h>

#include "ModemLine.h"
#include "TerminalFrames.h"

namespace karune::modemsim {
namespace {

using namespace std::chrono_literals;

const TimePoint t0{};
const std::string kEscape = "+++" + std::string(1, '\0') + "\r";

// Plays the PC: sends its lines and collects what the far end says back.
struct Pc {
    explicit Pc(ModemLine& l) : line(l) {}

    ModemLine& line;
    TimePoint now = t0;
    std::vector<std::string> reports;
    bool closed = false;

    std::string send(const std::string& bytes) {
        const ModemLine::Output out = line.receive(bytes, now);
        reports.insert(reports.end(), out.reports.begin(), out.reports.end());
        closed = closed || out.closeLine;
        return out.bytes;
    }
    std::string waitForRing() {
        now = *line.nextEvent();
        return line.tick(now).bytes;
    }
    void connect() {
        ASSERT_EQ(send("ATE0\r"), kOk);
        ASSERT_EQ(waitForRing(), kRing);
        ASSERT_EQ(send("ATA\r"), kConnect);
    }
    void hangUp() { send(kEscape + "ATH0\r"); }
};

TerminalOptions records(int count) {
    TerminalOptions o;
    o.name = "abc";
    for (int i = 0; i < count; ++i)
        o.records.push_back("R" + std::to_string(i));
    return o;
}

struct DropCase {
    DropMode mode;
    std::string saidAtTheDrop;
    bool closed;
    bool finishedAtTheDrop;
};

TEST(ModemLine, DroppedCalls) {
    const DropCase cases[] = {
        {DropMode::Silent, "", false, false},
        {DropMode::Carrier, std::string(kNoCarrier), false, true},
        {DropMode::Close, "", true, true},
    };
    for (const DropCase& c : cases) {
        TerminalOptions o = records(3);
        o.dropAfter = 1;
        ModemLine line({}, o, c.mode);
        Pc pc(line);
        pc.connect();
        pc.send("VOL\r");
        EXPECT_EQ(pc.send("ACK\r"), recordFrame('0', "R0", 0) + "\r");
        EXPECT_EQ(pc.send("ACK\r"), c.saidAtTheDrop);
        EXPECT_EQ(pc.closed, c.closed);
        EXPECT_EQ(line.finished(), c.finishedAtTheDrop);
        if (!c.closed) {
            EXPECT_EQ(pc.send("NAK\r"), "");
            pc.send("CAN\r");
            pc.hangUp();
        }
        EXPECT_TRUE(line.finished());
        EXPECT_FALSE(line.allAcknowledged());
        EXPECT_EQ(pc.reports, std::vector<std::string>{"call 1: none, 1 records acknowledged"});
    }
}

}  // namespace
}  // namespace karune::modemsim
