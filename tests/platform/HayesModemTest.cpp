#include <gtest/gtest.h>

#include "HayesModem.h"

namespace karune::modemsim {
namespace {

using namespace std::chrono_literals;

const TimePoint t0{};

ModemOptions options(int calls = 1) {
    ModemOptions o;
    o.ringDelay = 2s;
    o.ringInterval = 6s;
    o.calls = calls;
    return o;
}

TEST(HayesModem, OneCallFromInitialisationToHangUp) {
    HayesModem modem(options());
    EXPECT_EQ(modem.nextEvent(), std::nullopt);
    EXPECT_EQ(modem.command("ATE0", t0).bytes, kOk);
    ASSERT_EQ(modem.nextEvent(), t0 + 2s);
    EXPECT_EQ(modem.tick(t0 + 1s), "");
    EXPECT_EQ(modem.tick(t0 + 2s), kRing);
    EXPECT_EQ(modem.tick(t0 + 7s), "");
    EXPECT_EQ(modem.tick(t0 + 8s), kRing);  // rings repeat until answered
    EXPECT_EQ(modem.nextEvent(), t0 + 14s);

    const HayesModem::Reply answered = modem.command("ATA", t0 + 9s);
    EXPECT_EQ(answered.bytes, "\r\nCONNECT 38400\r\n");
    EXPECT_EQ(answered.event, HayesModem::Event::Connected);
    EXPECT_TRUE(modem.online());
    EXPECT_EQ(modem.nextEvent(), std::nullopt) << "an answered call rings no more";

    EXPECT_EQ(modem.escape(), kOk);
    EXPECT_FALSE(modem.online());
    const HayesModem::Reply hungUp = modem.command("ATH0", t0 + 10s);
    EXPECT_EQ(hungUp.bytes, "\r\nOK\r\n");
    EXPECT_EQ(hungUp.event, HayesModem::Event::HungUp);
    EXPECT_TRUE(modem.allCallsEnded());
}

struct CommandCase {
    const char* what;
    std::vector<std::string> commands;  // all at t0, no ticks
    std::string lastReply;
    HayesModem::Event lastEvent;
};

TEST(HayesModem, CommandReplies) {
    const CommandCase cases[] = {
        {"ATA without a call", {"ATE0", "ATA"}, "\r\nNO CARRIER\r\n", HayesModem::Event::None},
        {"ATH0 without a call", {"ATH0"}, "\r\nOK\r\n", HayesModem::Event::None},
        {"other AT commands", {"ATZ"}, "\r\nOK\r\n", HayesModem::Event::None},
        {"final word of a PC that never connected", {"ATE0", "CAN"}, "", HayesModem::Event::None},
        {"escape in command mode is noise", {"+++"}, "", HayesModem::Event::None},
        {"empty line", {""}, "", HayesModem::Event::None},
    };
    for (const CommandCase& c : cases) {
        HayesModem modem(options());
        HayesModem::Reply reply;
        for (const std::string& command : c.commands)
            reply = modem.command(command, t0);
        EXPECT_EQ(reply.bytes, c.lastReply) << c.what;
        EXPECT_EQ(reply.event, c.lastEvent) << c.what;
    }
}

TEST(HayesModem, SilentModemNeverAnswersNorRings) {
    ModemOptions o = options();
    o.silent = true;
    HayesModem modem(o);
    for (const char* command : {"ATE0", "ATA", "ATH0"})
        EXPECT_EQ(modem.command(command, t0).bytes, "");
    EXPECT_EQ(modem.nextEvent(), std::nullopt);
    EXPECT_EQ(modem.tick(t0 + 1000s), "");
}

TEST(HayesModem, EachCallRingsAfterTheNextInitialisationUntilAllCame) {
    HayesModem modem(options(2));
    for (int call = 0; call < 2; ++call) {
        const TimePoint start = t0 + 100s * call;
        modem.command("ATE0", start);
        ASSERT_EQ(modem.tick(start + 2s), kRing) << call;
        ASSERT_EQ(modem.command("ATA", start + 3s).event, HayesModem::Event::Connected);
        modem.escape();
        ASSERT_EQ(modem.command("ATH0", start + 4s).event, HayesModem::Event::HungUp);
        EXPECT_EQ(modem.callsEnded(), call + 1);
    }
    EXPECT_TRUE(modem.allCallsEnded());
    modem.command("ATE0", t0 + 300s);
    EXPECT_EQ(modem.nextEvent(), std::nullopt) << "no third call";
}

TEST(HayesModem, LostCarrierEndsTheCall) {
    HayesModem modem(options());
    modem.command("ATE0", t0);
    modem.tick(t0 + 2s);
    modem.command("ATA", t0 + 2s);
    EXPECT_EQ(modem.loseCarrier(), kNoCarrier);
    EXPECT_FALSE(modem.online());
    EXPECT_TRUE(modem.allCallsEnded());
    EXPECT_EQ(modem.command("ATH0", t0 + 3s).event, HayesModem::Event::None);
}

}  // namespace
}  // namespace karune::modemsim
