#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/ComPortClient.h"
#include "platform/TelnetClient.h"

namespace karune {
namespace {

using namespace std::string_literals;

// Telnet commands and COM port option messages, as bytes.
std::string iac(int verb, int option) {
    return {'\xff', static_cast<char>(verb), static_cast<char>(option)};
}
std::string comPort(int code, const std::string& value) {
    return "\xff\xfa\x2c"s + static_cast<char>(code) + value + "\xff\xf0"s;
}

constexpr int kWill = 251, kWont = 252, kDo = 253, kDont = 254;
constexpr int kBinary = 0, kEcho = 1, kSga = 3, kComPort = 44;

// What a server sends is split into the stream's bytes, the answers owed to the negotiation, and
// subnegotiations, in any chunking; the client agrees to BINARY and SUPPRESS-GO-AHEAD, and refuses
// every other option once.
TEST(TelnetClient, SplitsTheServersBytesAndAnswersItsNegotiation) {
    const struct {
        std::vector<std::string> chunks;
        std::string data, replies, subnegotiation;
    } cases[] = {
        {{"OK\r\n"}, "OK\r\n", "", ""},
        {{"A\xff\xff"s, "B"}, "A\xff"s + "B", "", ""},
        {{"A\xff", "\xff"s}, "A\xff", "", ""},
        {{"A\r\0B"s}, "A\rB", "", ""},
        {{"A\r", "\0B"s}, "A\rB", "", ""},
        {{iac(kWill, kBinary) + "A\r\0B"s}, "A\r\0B"s, "", ""},
        {{"A\xff\xf1"s + "B"}, "AB", "", ""},
        {{iac(kWill, kEcho)}, "", iac(kDont, kEcho), ""},
        {{"\xff", "\xfb\x01"s}, "", iac(kDont, kEcho), ""},
        {{iac(kDo, 24) + iac(kDont, kEcho)}, "", iac(kWont, 24), ""},
        {{iac(kDo, kBinary) + iac(kWill, kSga) + iac(kDo, kSga) + iac(kDo, kSga)}, "", "", ""},
        {{iac(kDo, kBinary) + iac(kDont, kBinary)}, "", iac(kWont, kBinary), ""},
        {{iac(kWill, kSga) + iac(kWont, kSga)}, "", iac(kDont, kSga), ""},
        {{"x" + comPort(107, "\x20") + "y"}, "xy", "", "\x2c\x6b\x20"},
        {{comPort(107, "\xff\xff"s)}, "", "", "\x2c\x6b\xff"s},
        {{"\xff\xfa\x2c", "\x6b\x20\xff", "\xf0"s}, "", "", "\x2c\x6b\x20"},
        {{"\xff\xfa\x2c\x6b\xff\xfb\x01"s}, "", iac(kDont, kEcho), ""},
        {{"\xff\xfa"s + std::string(300, 'x') + "\xff\xf0z"s}, "z", "", ""},
    };
    for (const auto& c : cases) {
        telnet::TelnetClient client({kBinary, kSga, kComPort}, {kBinary, kSga});
        client.requests();
        std::string data, replies, subnegotiation;
        for (std::string_view chunk : c.chunks) {
            while (!chunk.empty()) {
                telnet::TelnetClient::Received received;
                chunk.remove_prefix(client.receive(chunk, received));
                data += received.data;
                replies += received.replies;
                subnegotiation += received.subnegotiation.value_or("");
            }
        }
        EXPECT_EQ(std::tie(data, replies, subnegotiation),
                  std::tie(c.data, c.replies, c.subnegotiation))
            << testing::PrintToString(c.chunks);
    }
}

TEST(TelnetClient, EscapesDataForTheServer) {
    telnet::TelnetClient client({kBinary}, {});
    EXPECT_EQ(client.requests(), iac(kWill, kBinary));
    EXPECT_EQ(client.escape("A\xff\r"), "A\xff\xff\r\0"s);
    telnet::TelnetClient::Received received;
    client.receive(iac(kDo, kBinary), received);
    EXPECT_EQ(client.escape("A\xff\r"), "A\xff\xff\r");
    EXPECT_EQ(telnet::TelnetClient::subnegotiation(44, "\x01\xff"),
              "\xff\xfa\x2c\x01\xff\xff\xff\xf0");
}

// The whole opening against the servers the line meets: ser2net before a pseudo-terminal (bytes as
// it sends them: it never confirms DTR or RTS and reports every modem line off), a server on a real
// port, and a Telnet server without the option.
TEST(ComPortClient, SettlesWithEachKindOfServer) {
    const std::string settings = comPort(1, "\x00\x00\x96\x00"s) + comPort(2, "\x08") +
                                 comPort(3, "\x01") + comPort(4, "\x01") + comPort(5, "\x01") +
                                 comPort(5, "\x08") + comPort(5, "\x0b") + comPort(11, "\xaa") +
                                 comPort(12, "\x03");
    const std::string confirmed = comPort(112, "\x03") + comPort(101, "\x00\x00\x96\x00"s) +
                                  comPort(102, "\x08") + comPort(103, "\x01") +
                                  comPort(104, "\x01") + comPort(105, "\x01");
    const struct {
        const char* server;
        std::string says;
        std::string replies;
        bool settled;
        std::optional<bool> ready;
        std::string data;  // what the modem said after the purge
    } cases[] = {
        {"ser2net on a pty",
         iac(kWill, kSga) + iac(kDo, kSga) + iac(kWill, kEcho) + iac(kDont, kEcho) +
             iac(kDo, kBinary) + iac(kWill, kBinary) + iac(kDo, kComPort) + iac(kDo, kSga) +
             comPort(107, "\x00"s) + "stale" + confirmed + comPort(107, "\x00"s) + "\r\nOK\r\n",
         iac(kDont, kEcho) + settings, false, std::nullopt, "\r\nOK\r\n"},
        {"a real port",
         iac(kDo, kComPort) + confirmed + comPort(105, "\x08") + comPort(105, "\x0b") +
             comPort(107, "\x20") + "\r\nOK\r\n",
         settings, true, true, "\r\nOK\r\n"},
        {"a real port, modem off",
         iac(kDo, kComPort) + confirmed + comPort(105, "\x09") + comPort(105, "\x0c") +
             comPort(107, "\x80"),
         settings, true, false, ""},
        {"no option", iac(kDont, kComPort) + iac(kWill, kBinary) + "\r\nOK\r\n", "", true,
         std::nullopt, ""},
    };
    for (const auto& c : cases) {
        ComPortClient client;
        EXPECT_EQ(client.opening(), iac(kWill, kBinary) + iac(kDo, kBinary) + iac(kWill, kSga) +
                                        iac(kDo, kSga) + iac(kWill, kComPort));
        const ComPortClient::Inbound in = client.receive(c.says);
        // What comes before the purge is confirmed, or the opening ends, is dropped.
        EXPECT_EQ(std::tuple(in.replies, client.settled(), client.modemReady(), in.data),
                  std::tuple(c.replies, c.settled, c.ready, c.data))
            << c.server;
        client.endOpening();
        EXPECT_EQ(client.receive("RING").data, "RING") << c.server;
    }
}

}  // namespace
}  // namespace karune
