// The lines over TCP on real loopback sockets, in real time (a few hundred milliseconds each).
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/ComPortClient.h"
#include "platform/ListenLine.h"
#include "platform/NetworkLines.h"
#include "platform/Socket.h"
#include "platform/SocketIo.h"
#include "platform/SystemClock.h"
#include "platform/TerminalServerLine.h"

namespace karune {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

const std::string kOk = "\r\nOK\r\n";
const std::string kRing = "\r\nRING\r\n";
const std::string kNoCarrier = "\r\nNO CARRIER\r\n";

// A listener on a free port of 127.0.0.1.
struct Listening {
    Socket socket;
    std::uint16_t port = 0;
};
Listening listenOnFreePort() {
    std::mt19937 random(std::random_device{}());
    for (;;) {
        const auto port = static_cast<std::uint16_t>(20000 + random() % 30000);
        if (SocketResult r = listenSocket(*parseIpAddress("127.0.0.1"), port); r.socket.isOpen())
            return {std::move(r.socket), port};
    }
}

Socket connectTo(std::uint16_t port) {
    return connectSocket("127.0.0.1", port, 2s).socket;
}

Socket acceptFrom(Listening& server) {
    SocketWait waiting{&server.socket};
    waitForSockets({&waiting, 1}, 2s);
    SocketPeer peer;
    bool broken = false;
    return server.socket.accept(peer, broken);
}

// What the peer gets within `wait`, ending in "<closed>" when the connection ends meanwhile.
std::string peerReads(Socket& peer, std::chrono::milliseconds wait) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < end) {
        SocketWait ready{&peer};
        waitForSockets({&ready, 1}, end - std::chrono::steady_clock::now());
        if (ready.ready && !receiveWaiting(peer, got))
            return got + "<closed>";
    }
    return got;
}

// What the program reads on `line` within `wait`, and what it reads after writing `command`.
std::string heard(SerialLine& line, std::chrono::milliseconds wait = 2s) {
    return line.readUntil(SystemClock().now() + wait);
}
std::string said(SerialLine& line, std::string_view command) {
    EXPECT_TRUE(line.write(command));
    return heard(line);
}

class ListenLineTest : public testing::Test {
protected:
    std::unique_ptr<ListenLine> makeLine(ListenLimits limits = {}) {
        Listening listening = listenOnFreePort();
        port = listening.port;
        return std::make_unique<ListenLine>(
            std::make_shared<Socket>(std::move(listening.socket)), std::vector<IpNetwork>{}, clock,
            "listen:127.0.0.1", [this](const std::string& m) { log.push_back(m); }, limits);
    }

    SystemClock clock;
    std::uint16_t port = 0;
    std::vector<std::string> log;
};

TEST_F(ListenLineTest, PlaysTheModemForOneCallAtATime) {
    const std::unique_ptr<ListenLine> line = makeLine();
    EXPECT_EQ(said(*line, "ATE0\r"), kOk);
    EXPECT_EQ(heard(*line, 50ms), "");

    Socket caller = connectTo(port);
    EXPECT_EQ(heard(*line), kRing);
    Socket second = connectTo(port);
    EXPECT_EQ(heard(*line, 300ms), "");
    EXPECT_EQ(peerReads(second, 1s), "<closed>") << "a second caller is turned away at once";
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("refused 127.0.0.1:"), std::string::npos) << log[0];
    EXPECT_NE(log[0].find("a call is in progress"), std::string::npos) << log[0];

    EXPECT_EQ(said(*line, "ATA\r"), "\r\nCONNECT 38400\r\n");
    EXPECT_TRUE(sendAll(caller, "^0DATA\xff*12\r"));
    EXPECT_EQ(heard(*line), "^0DATA\xff*12\r");
    EXPECT_TRUE(line->write("ACK\r"));
    EXPECT_EQ(peerReads(caller, 200ms), "ACK\r");
    EXPECT_EQ(said(*line, "+++\0\r"s), kOk);
    EXPECT_EQ(peerReads(caller, 1s), "<closed>") << "the escape reaches no caller";
    EXPECT_EQ(said(*line, "ATH0\r"), kOk);
    EXPECT_EQ(said(*line, "ATA\r"), kNoCarrier) << "no call to answer";

    Socket next = connectTo(port);
    EXPECT_EQ(heard(*line), kRing);
    EXPECT_EQ(said(*line, "ata\r"), "\r\nCONNECT 38400\r\n");
    next = Socket();
    EXPECT_EQ(heard(*line), kNoCarrier);
    EXPECT_EQ(line->lostReason(), "");
}

// The port closes and opens again between two calls; a caller in between waits and rings. On
// IPv6's loopback, which a listening line may name too.
TEST_F(ListenLineTest, ACallerBetweenTwoCallsRingsAtTheNext) {
    const std::uint16_t free = listenOnFreePort().port;
    Listeners listeners;
    auto open = [&] {
        std::string reason;
        return std::make_unique<ListenLine>(
            listeners.listenerFor("listen", *parseIpAddress("::1"), free, reason),
            std::vector<IpNetwork>{}, clock, "listen", [](const std::string&) {});
    };
    open().reset();
    Socket caller = connectSocket("::1", free, 2s).socket;
    ASSERT_TRUE(caller.isOpen());
    const std::unique_ptr<ListenLine> next = open();
    EXPECT_EQ(heard(*next), kRing);
}

// No caller keeps the line: not by never being answered, by talking too much or too long.
TEST_F(ListenLineTest, EndsCallsThatGoBeyondTheirLimits) {
    const struct {
        const char* limit;
        Clock::Duration length, silence, ringInterval;
        bool answered;
        std::size_t sends;
        std::string heard;
        const char* logged;
    } cases[] = {
        {"rings", 10s, 10s, 100ms, false, 0, kRing + kRing, "the call was not answered"},
        {"bytes", 10s, 10s, 10s, true, 2000, std::string(2000, 'x') + kNoCarrier,
         "the call sent more than 1000 bytes"},
        {"silence", 10s, 300ms, 10s, true, 0, kNoCarrier, "the caller said nothing"},
        {"length", 300ms, 10s, 10s, true, 0, kNoCarrier, "the call went on for longer"},
    };
    for (const auto& c : cases) {
        log.clear();
        const std::unique_ptr<ListenLine> line =
            makeLine({c.length, 1000, c.silence, c.ringInterval, 2});
        Socket caller = connectTo(port);
        std::string read = heard(*line);
        if (c.answered) {
            EXPECT_EQ(said(*line, "ATA\r"), "\r\nCONNECT 38400\r\n") << c.limit;
            read.clear();
            EXPECT_TRUE(sendAll(caller, std::string(c.sends, 'x')));
        }
        for (int reads = 0; reads < 10; ++reads) {
            const std::string more = heard(*line, 500ms);
            if (more.empty())
                break;
            read += more;
        }
        EXPECT_EQ(read, c.heard) << c.limit;
        EXPECT_EQ(peerReads(caller, 1s), "<closed>") << c.limit;
        ASSERT_EQ(log.size(), 1u) << c.limit;
        EXPECT_NE(log[0].find(c.logged), std::string::npos) << log[0];
    }
}

// The program's connection to a terminal server on loopback, whose end is `modem`.
class TerminalServerLineTest : public testing::Test {
protected:
    Listening server = listenOnFreePort();
    Socket client = connectTo(server.port);
    Socket modem = acceptFrom(server);
    SystemClock clock;
};

// A terminal server that goes away is the modem's line gone: "NO CARRIER" once, then silence to
// the deadline, and the operator's reason.
TEST_F(TerminalServerLineTest, ReadsNoCarrierOnceWhenTheServerGoes) {
    TerminalServerLine line(std::move(client), nullptr, clock, "tcp:127.0.0.1:1");
    ASSERT_TRUE(line.settle());

    EXPECT_TRUE(sendAll(modem, "\r\nOK\r\n"));
    EXPECT_EQ(said(line, "ATE0\r"), kOk);
    EXPECT_EQ(peerReads(modem, 200ms), "ATE0\r");
    EXPECT_EQ(line.lostReason(), "");

    modem = Socket();
    EXPECT_EQ(heard(line), kNoCarrier);
    const auto before = clock.now();
    EXPECT_EQ(heard(line, 200ms), "");
    EXPECT_GE(clock.now() - before, 200ms);
    EXPECT_FALSE(line.write("ATA\r"));
    EXPECT_EQ(line.lostReason(), "tcp:127.0.0.1:1 との接続が切れました。");
}

// A terminal server may drop what it has not yet written to the port when the connection ends:
// the line ends it only after the modem has answered the hang-up.
TEST_F(TerminalServerLineTest, EndsTheConnectionAfterTheModemsLastWord) {
    auto line =
        std::make_unique<TerminalServerLine>(std::move(client), nullptr, clock, "tcp:127.0.0.1:1");
    EXPECT_TRUE(line->write("ATH0\r"));
    std::thread closing([&] { line.reset(); });
    EXPECT_EQ(peerReads(modem, 200ms), "ATH0\r")
        << "the connection ended before the modem answered";
    EXPECT_TRUE(sendAll(modem, kOk));
    EXPECT_EQ(peerReads(modem, 2s), "<closed>");
    closing.join();
}

// The modem's ready line as the server reports it ends a wait, once per change.
TEST_F(TerminalServerLineTest, AChangeOfTheModemsReadyLineEndsAWait) {
    const auto comPort = [](int code, const std::string& value) {
        return "\xff\xfa\x2c"s + static_cast<char>(code) + value + "\xff\xf0"s;
    };
    // A server on a real port confirms every setting, then reports the modem off.
    EXPECT_TRUE(sendAll(modem, "\xff\xfd\x2c"s + comPort(112, "\x03") +
                                   comPort(101, "\0\0\x96\0"s) + comPort(102, "\x08") +
                                   comPort(103, "\x01") + comPort(104, "\x01") +
                                   comPort(105, "\x01") + comPort(105, "\x08") +
                                   comPort(105, "\x0b") + comPort(107, "\x00"s)));
    TerminalServerLine line(std::move(client), std::make_unique<ComPortClient>(), clock,
                            "rfc2217:127.0.0.1:1");
    const auto opened = clock.now();
    ASSERT_TRUE(line.settle());
    EXPECT_LT(clock.now() - opened, TerminalServerLine::kSettleTime) << "every setting confirmed";
    EXPECT_EQ(line.modemReady(), false);

    EXPECT_TRUE(sendAll(modem, comPort(107, "\x20")));
    const auto before = clock.now();
    EXPECT_EQ(heard(line), "");
    EXPECT_LT(clock.now() - before, 1s);
    EXPECT_EQ(line.modemReady(), true);
    EXPECT_TRUE(sendAll(modem, comPort(107, "\x20") + "\r\nRING\r\n"));
    EXPECT_EQ(heard(line), kRing) << "a report without a change ends nothing";
}

}  // namespace
}  // namespace karune
