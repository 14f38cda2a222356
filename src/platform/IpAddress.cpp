#include "platform/IpAddress.h"

#include <algorithm>
#include <charconv>

namespace karune {
namespace {

constexpr std::array<std::uint8_t, 12> kMappedPrefix{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};

std::optional<unsigned> number(std::string_view text, int base, std::size_t maxDigits) {
    unsigned value = 0;
    if (text.empty() || text.size() > maxDigits)
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Four decimal parts from 0 to 255. A leading zero is refused: some systems read "010" as octal.
bool parseIpv4(std::string_view text, std::vector<std::uint8_t>& out) {
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = text.find('.');
        if ((dot == std::string_view::npos) != (part == 3))
            return false;
        const std::string_view digits = text.substr(0, dot);
        const std::optional<unsigned> value = number(digits, 10, 3);
        if (!value || *value > 255 || (digits.size() > 1 && digits[0] == '0'))
            return false;
        out.push_back(static_cast<std::uint8_t>(*value));
        text.remove_prefix(part == 3 ? text.size() : dot + 1);
    }
    return true;
}

// Colon-separated groups of up to four hex digits; the last may be a dotted IPv4 address when
// `ipv4Tail` allows it. An empty text holds no groups.
bool parseGroups(std::string_view text, bool ipv4Tail, std::vector<std::uint8_t>& out) {
    while (!text.empty()) {
        const std::size_t colon = text.find(':');
        const std::string_view group = text.substr(0, colon);
        if (colon == std::string_view::npos && ipv4Tail && group.find('.') != group.npos)
            return parseIpv4(group, out);
        const std::optional<unsigned> value = number(group, 16, 4);
        if (!value)
            return false;
        out.push_back(static_cast<std::uint8_t>(*value >> 8));
        out.push_back(static_cast<std::uint8_t>(*value & 0xff));
        if (colon == std::string_view::npos)
            break;
        text.remove_prefix(colon + 1);
        if (text.empty())
            return false;  // a trailing single colon
    }
    return true;
}

std::optional<IpAddress> parseIpv6(std::string_view text) {
    std::vector<std::uint8_t> head;
    std::vector<std::uint8_t> tail;
    const std::size_t gap = text.find("::");
    if (gap == std::string_view::npos) {
        if (!parseGroups(text, true, head) || head.size() != 16)
            return std::nullopt;
    } else {
        if (text.find("::", gap + 1) != std::string_view::npos)
            return std::nullopt;
        // The gap stands for one group of zeros at least.
        if (!parseGroups(text.substr(0, gap), false, head) ||
            !parseGroups(text.substr(gap + 2), true, tail) || head.size() + tail.size() > 14)
            return std::nullopt;
    }
    std::array<std::uint8_t, 16> bytes{};
    std::copy(head.begin(), head.end(), bytes.begin());
    std::copy(tail.begin(), tail.end(), bytes.end() - static_cast<std::ptrdiff_t>(tail.size()));
    return ipAddressFromBytes(bytes.data(), bytes.size());
}

std::string hexGroup(const IpAddress& a, std::size_t group) {
    char text[8];
    const unsigned value = a.bytes[group * 2] * 256u + a.bytes[group * 2 + 1];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, 16);
    return {text, end};
}

}  // namespace

bool IpAddress::isLoopback() const {
    if (!v6)
        return bytes[0] == 127;
    return std::all_of(bytes.begin(), bytes.end() - 1, [](std::uint8_t b) { return b == 0; }) &&
           bytes[15] == 1;
}

std::optional<IpAddress> parseIpAddress(std::string_view text) {
    if (text.find(':') != std::string_view::npos)
        return parseIpv6(text);
    std::vector<std::uint8_t> bytes;
    if (!parseIpv4(text, bytes))
        return std::nullopt;
    return ipAddressFromBytes(bytes.data(), bytes.size());
}

IpAddress ipAddressFromBytes(const std::uint8_t* bytes, std::size_t size) {
    IpAddress address;
    if (size == 16 && std::equal(kMappedPrefix.begin(), kMappedPrefix.end(), bytes)) {
        bytes += kMappedPrefix.size();
        size = 4;
    }
    address.v6 = size == 16;
    std::copy(bytes, bytes + address.size(), address.bytes.begin());
    return address;
}

std::string ipAddressText(const IpAddress& a) {
    if (!a.v6) {
        return std::to_string(a.bytes[0]) + "." + std::to_string(a.bytes[1]) + "." +
               std::to_string(a.bytes[2]) + "." + std::to_string(a.bytes[3]);
    }
    // The longest run of two or more zero groups (the first of equals) becomes "::".
    std::size_t runStart = 8;
    std::size_t runLength = 1;
    for (std::size_t g = 0; g < 8;) {
        std::size_t end = g;
        while (end < 8 && a.bytes[end * 2] == 0 && a.bytes[end * 2 + 1] == 0)
            ++end;
        if (end - g > runLength) {
            runStart = g;
            runLength = end - g;
        }
        g = end == g ? g + 1 : end;
    }
    std::string text;
    for (std::size_t g = 0; g < 8; ++g) {
        if (g == runStart) {
            text += "::";
            g += runLength - 1;
            continue;
        }
        if (!text.empty() && text.back() != ':')
            text += ':';
        text += hexGroup(a, g);
    }
    return text;
}

bool IpNetwork::contains(const IpAddress& address) const {
    if (address.v6 != base.v6)
        return false;
    const auto whole = static_cast<std::size_t>(prefix / 8);
    if (!std::equal(base.bytes.begin(), base.bytes.begin() + whole, address.bytes.begin()))
        return false;
    const int bits = prefix % 8;
    if (bits == 0)
        return true;
    const auto mask = static_cast<std::uint8_t>(0xff << (8 - bits));
    return (base.bytes[whole] & mask) == (address.bytes[whole] & mask);
}

std::optional<IpNetwork> parseIpNetwork(std::string_view text) {
    const std::size_t slash = text.find('/');
    const std::optional<IpAddress> base = parseIpAddress(text.substr(0, slash));
    if (!base)
        return std::nullopt;
    const int longest = static_cast<int>(base->size() * 8);
    if (slash == std::string_view::npos)
        return IpNetwork{*base, longest};
    const std::optional<unsigned> prefix = number(text.substr(slash + 1), 10, 3);
    if (!prefix || static_cast<int>(*prefix) > longest)
        return std::nullopt;
    return IpNetwork{*base, static_cast<int>(*prefix)};
}

bool anyContains(const std::vector<IpNetwork>& networks, const IpAddress& address) {
    return std::any_of(networks.begin(), networks.end(),
                       [&](const IpNetwork& n) { return n.contains(address); });
}

}  // namespace karune
