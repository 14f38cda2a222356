#include <gtest/gtest.h>

#include "platform/IpAddress.h"
#include "platform/PortMapping.h"

namespace karune {
namespace {

// Numeric addresses read and written back in their short form; refused texts read as nothing.
TEST(IpAddress, ReadsAndWritesNumericAddresses) {
    const struct {
        const char* text;
        const char* written;  // nullptr: refused
    } cases[] = {
        {"192.0.2.7", "192.0.2.7"},
        {"0.0.0.0", "0.0.0.0"},
        {"2001:db8::7", "2001:db8::7"},
        {"2001:DB8:0:0:1:0:0:1", "2001:db8::1:0:0:1"},
        {"::", "::"},
        {"::1", "::1"},
        {"1::", "1::"},
        {"1:2:3:4:5:6:7::", "1:2:3:4:5:6:7:0"},
        {"::ffff:192.0.2.7", "192.0.2.7"},
        {"64:ff9b::192.0.2.7", "64:ff9b::c000:207"},
        {"256.0.0.1", nullptr},
        {"1.2.3", nullptr},
        {"01.2.3.4", nullptr},
        {"1.2.3.4 ", nullptr},
        {"", nullptr},
        {"localhost", nullptr},
        {"1:2:3:4:5:6:7:8:9", nullptr},
        {"1::2::3", nullptr},
        {":::", nullptr},
        {"12345::", nullptr},
        {"::1.2.3.4:5", nullptr},
        {"0x1::", nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<IpAddress> address = parseIpAddress(c.text);
        ASSERT_EQ(address.has_value(), c.written != nullptr) << c.text;
        if (address) {
            EXPECT_EQ(ipAddressText(*address), c.written) << c.text;
        }
    }
}

// The allow list's rule: a peer is let in when a network of the list holds its address, whichever
// way the socket reported it (an IPv4 peer of a dual-stack listener comes mapped into IPv6).
TEST(IpAddress, NetworksHoldTheirAddresses) {
    const struct {
        const char* network;
        const char* peer;
        bool held;
    } cases[] = {
        {"192.168.10.0/24", "192.168.10.200", true},
        {"192.168.10.0/24", "192.168.11.1", false},
        {"192.168.10.77/24", "192.168.10.1", true},
        {"10.1.2.3", "10.1.2.3", true},
        {"10.1.2.3", "10.1.2.4", false},
        {"10.0.0.0/9", "10.127.255.255", true},
        {"10.0.0.0/9", "10.128.0.0", false},
        {"0.0.0.0/0", "203.0.113.9", true},
        {"0.0.0.0/0", "2001:db8::1", false},
        {"192.0.2.7", "::ffff:192.0.2.7", true},
        {"2001:db8::/32", "2001:db8:ffff::1", true},
        {"2001:db8::/32", "2001:db9::1", false},
        {"2001:db8::/33", "2001:db8:8000::", false},
        {"::1", "::1", true},
        {"127.0.0.1", "::1", false},
    };
    for (const auto& c : cases) {
        const std::optional<IpNetwork> network = parseIpNetwork(c.network);
        ASSERT_TRUE(network) << c.network;
        EXPECT_EQ(anyContains({*network}, *parseIpAddress(c.peer)), c.held)
            << c.network << " " << c.peer;
    }
    for (const char* refused : {"10.0.0.0/33", "2001:db8::/129", "10.0.0.0/", "10.0.0.0/x", "/8"})
        EXPECT_FALSE(parseIpNetwork(refused)) << refused;
    EXPECT_TRUE(parseIpAddress("127.9.9.9")->isLoopback());
    EXPECT_TRUE(parseIpAddress("::1")->isLoopback());
    EXPECT_FALSE(parseIpAddress("::2")->isLoopback());
    EXPECT_FALSE(parseIpAddress("128.0.0.1")->isLoopback());
}

TEST(PortMapping, ReadsEachKindOfLineAndRefusesWhatNoLineCanUse) {
    const struct {
        const char* text;
        const char* host;  // nullptr: refused
        int port;
        const char* reason;  // part of the refusal's text
        std::size_t allowed;
    } cases[] = {
        {"tcp:ts1.example:4001", "ts1.example", 4001, nullptr, 0},
        {"rfc2217:192.0.2.10:7000", "192.0.2.10", 7000, nullptr, 0},
        {"tcp:[2001:db8::10]:65535", "2001:db8::10", 65535, nullptr, 0},
        {"listen:127.0.0.1:5000", "127.0.0.1", 5000, nullptr, 0},
        {"listen:[::1]:5000", "::1", 5000, nullptr, 0},
        {"listen:0.0.0.0:5000?allow=192.168.10.0/24,10.1.2.3", "0.0.0.0", 5000, nullptr, 2},
        {"listen:[::]:5000?allow=2001:db8::/32", "::", 5000, nullptr, 1},
        {"listen:127.0.0.1:5000?allow=127.0.0.2", "127.0.0.1", 5000, nullptr, 1},
        {"tcp:2001:db8::10:4001", nullptr, 0, "brackets: [2001:db8::10]:4001", 0},
        {"tcp:[ts1]:4001", nullptr, 0, "not an IPv6 address", 0},
        {"tcp:[::1]4001", nullptr, 0, "[IPV6-ADDRESS]:PORT", 0},
        {"tcp:ts1.example", nullptr, 0, "HOST:PORT", 0},
        {"tcp::4001", nullptr, 0, "not a host name", 0},
        {"tcp:ts 1:4001", nullptr, 0, "not a host name", 0},
        {"tcp:192.0.2.300:4001", nullptr, 0, "not a host name", 0},
        {"tcp:ts1:0", nullptr, 0, "not a port number", 0},
        {"tcp:ts1:65536", nullptr, 0, "not a port number", 0},
        {"tcp:ts1:+80", nullptr, 0, "not a port number", 0},
        {"tcp:ts1:4001?allow=10.0.0.0/8", nullptr, 0, "only a listening line", 0},
        {"listen:localhost:5000", nullptr, 0, "numeric address", 0},
        {"listen:0.0.0.0:5000", nullptr, 0, "add ?allow=", 0},
        {"listen:[::]:5000", nullptr, 0, "add ?allow=", 0},
        {"listen:192.0.2.1:5000?allow=", nullptr, 0, "'' in the allow list", 0},
        {"listen:192.0.2.1:5000?allow=10.0.0.0/8,", nullptr, 0, "'' in the allow list", 0},
        {"listen:192.0.2.1:5000?allow=lan", nullptr, 0, "'lan' in the allow list", 0},
        {"listen:192.0.2.1:5000?deny=10.0.0.1", nullptr, 0, "not an option", 0},
    };
    for (const auto& c : cases) {
        const NetworkMappingResult result = parseNetworkMapping(c.text);
        ASSERT_EQ(result.mapping.has_value(), c.host != nullptr) << c.text << ": " << result.error;
        if (!result.mapping) {
            EXPECT_NE(result.error.find(c.reason), std::string::npos)
                << c.text << ": " << result.error;
            continue;
        }
        EXPECT_EQ(result.mapping->host, c.host) << c.text;
        EXPECT_EQ(result.mapping->port, c.port) << c.text;
        EXPECT_EQ(result.mapping->allow.size(), c.allowed) << c.text;
        EXPECT_EQ(result.mapping->name,
                  std::string(c.text).substr(0, std::string(c.text).find('?')));
    }
    EXPECT_EQ(parseNetworkMapping("rfc2217:h:1").mapping->kind, NetworkLineKind::Rfc2217);
    EXPECT_EQ(parseNetworkMapping("listen:[::1]:1").mapping->kind, NetworkLineKind::Listen);
    EXPECT_TRUE(isNetworkMapping("tcp:x"));
    EXPECT_FALSE(isNetworkMapping("/dev/ttyUSB0"));
    EXPECT_FALSE(isNetworkMapping("COM3"));
}

}  // namespace
}  // namespace karune
