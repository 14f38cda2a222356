#include <gtest/gtest.h>

#include <tuple>

#include "platform/IpAddress.h"
#include "platform/PortMapping.h"

namespace karune {
namespace {

// Numeric addresses read and written back in their short form; refused texts read as nothing.
TEST(IpAddress, ReadsAndWritesNumericAddresses) {
    const std::pair<const char*, const char*> written[] = {
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
    };
    for (const auto& [text, shortForm] : written) {
        const std::optional<IpAddress> address = parseIpAddress(text);
        ASSERT_TRUE(address) << text;
        EXPECT_EQ(ipAddressText(*address), shortForm) << text;
    }
    for (const char* refused :
         {"256.0.0.1", "1.2.3", "01.2.3.4", "1.2.3.4 ", "", "localhost", "1:2:3:4:5:6:7:8:9",
          "1::2::3", ":::", "12345::", "::1.2.3.4:5", "0x1::"})
        EXPECT_FALSE(parseIpAddress(refused)) << refused;
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
}

TEST(PortMapping, ReadsEachKindOfLineAndRefusesWhatNoLineCanUse) {
    using enum NetworkLineKind;
    const struct {
        const char* text;
        NetworkLineKind kind;
        const char* host;
        int port;
        std::size_t allowed;
    } read[] = {
        {"tcp:ts1.example:4001", Tcp, "ts1.example", 4001, 0},
        {"rfc2217:192.0.2.10:7000", Rfc2217, "192.0.2.10", 7000, 0},
        {"tcp:[2001:db8::10]:65535", Tcp, "2001:db8::10", 65535, 0},
        {"listen:127.0.0.1:5000", Listen, "127.0.0.1", 5000, 0},
        {"listen:[::1]:5000", Listen, "::1", 5000, 0},
        {"listen:127.9.9.9:5000", Listen, "127.9.9.9", 5000, 0},
        {"listen:0.0.0.0:5000?allow=192.168.10.0/24,10.1.2.3", Listen, "0.0.0.0", 5000, 2},
        {"listen:[::]:5000?allow=2001:db8::/32", Listen, "::", 5000, 1},
        {"listen:127.0.0.1:5000?allow=127.0.0.2", Listen, "127.0.0.1", 5000, 1},
    };
    for (const auto& c : read) {
        const NetworkMappingResult result = parseNetworkMapping(c.text);
        ASSERT_TRUE(result.mapping) << c.text << ": " << result.error;
        const NetworkMapping& m = *result.mapping;
        const std::string name = std::string(c.text).substr(0, std::string(c.text).find('?'));
        EXPECT_EQ(std::tuple(m.kind, m.host, m.port, m.allow.size(), m.name),
                  std::tuple(c.kind, c.host, c.port, c.allowed, name));
    }
    const std::pair<const char*, const char*> refused[] = {
        // the text, and part of the refusal's
        {"tcp:2001:db8::10:4001", "brackets: [2001:db8::10]:4001"},
        {"tcp:[ts1]:4001", "not an IPv6 address"},
        {"tcp:[::1]4001", "[IPV6-ADDRESS]:PORT"},
        {"tcp:ts1.example", "HOST:PORT"},
        {"tcp::4001", "not a host name"},
        {"tcp:ts 1:4001", "not a host name"},
        {"tcp:192.0.2.300:4001", "not a host name"},
        {"tcp:ts1:0", "not a port number"},
        {"tcp:ts1:65536", "not a port number"},
        {"tcp:ts1:+80", "not a port number"},
        {"tcp:ts1:4001?allow=10.0.0.0/8", "only a listening line"},
        {"listen:localhost:5000", "numeric address"},
        {"listen:0.0.0.0:5000", "add ?allow="},
        {"listen:[::]:5000", "add ?allow="},
        {"listen:[::2]:5000", "add ?allow="},
        {"listen:128.0.0.1:5000", "add ?allow="},
        {"listen:192.0.2.1:5000?allow=", "'' in the allow list"},
        {"listen:192.0.2.1:5000?allow=10.0.0.0/8,", "'' in the allow list"},
        {"listen:192.0.2.1:5000?allow=lan", "'lan' in the allow list"},
        {"listen:192.0.2.1:5000?deny=10.0.0.1", "not an option"},
    };
    for (const auto& [text, reason] : refused) {
        const NetworkMappingResult result = parseNetworkMapping(text);
        EXPECT_FALSE(result.mapping) << text;
        EXPECT_NE(result.error.find(reason), std::string::npos) << text << ": " << result.error;
    }
    EXPECT_TRUE(isNetworkMapping("tcp:x"));
    EXPECT_FALSE(isNetworkMapping("/dev/ttyUSB0"));
    EXPECT_FALSE(isNetworkMapping("COM3"));
}

}  // namespace
}  // namespace karune
