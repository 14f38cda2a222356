#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace karune {

// An IPv4 or IPv6 address as the network carries it. An IPv4-mapped IPv6 address
// (::ffff:192.0.2.7, how a dual-stack listener sees an IPv4 peer) is held as the IPv4 address it
// carries, so that one rule covers a peer whichever way it arrived.
struct IpAddress {
    bool v6 = false;
    std::array<std::uint8_t, 16> bytes{};  // IPv4 in the first four

    std::size_t size() const { return v6 ? 16 : 4; }
    bool isLoopback() const;  // 127.0.0.0/8 or ::1
    bool operator==(const IpAddress&) const = default;
};

// A numeric address: dotted decimal "192.0.2.7" (no leading zeros) or IPv6 "2001:db8::7" (with
// an IPv4 tail allowed, without brackets or zone). Nothing for any other text.
std::optional<IpAddress> parseIpAddress(std::string_view text);

// From the 4 or 16 bytes of a socket address.
IpAddress ipAddressFromBytes(const std::uint8_t* bytes, std::size_t size);

// "192.0.2.7"; IPv6 in its short form, "2001:db8::7".
std::string ipAddressText(const IpAddress& address);

// An address and a prefix length, "192.168.10.0/24"; an address alone is a network of one.
struct IpNetwork {
    IpAddress base;
    int prefix = 0;

    bool contains(const IpAddress& address) const;
    bool operator==(const IpNetwork&) const = default;
};

// "ADDRESS" or "ADDRESS/LENGTH". Host bits set under the prefix are ignored.
std::optional<IpNetwork> parseIpNetwork(std::string_view text);

// True when one of `networks` holds `address`.
bool anyContains(const std::vector<IpNetwork>& networks, const IpAddress& address);

}  // namespace karune
