#include "platform/PortMapping.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

namespace karune {
namespace {

struct Scheme {
    std::string_view prefix;
    NetworkLineKind kind;
};
constexpr std::array kSchemes{Scheme{"tcp:", NetworkLineKind::Tcp},
                              Scheme{"rfc2217:", NetworkLineKind::Rfc2217},
                              Scheme{"listen:", NetworkLineKind::Listen}};

constexpr std::string_view kAllowOption = "allow=";
constexpr std::size_t kLongestHostName = 253;

NetworkMappingResult refused(std::string error) {
    return {std::nullopt, std::move(error)};
}

std::optional<std::uint16_t> portNumber(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value == 0 ||
        value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

bool isHostName(std::string_view host) {
    const bool allowed = std::all_of(host.begin(), host.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '.' || c == '_';
    });
    // Digits and dots alone are an IPv4 address, which must then be one.
    const bool dotted = std::all_of(host.begin(), host.end(),
                                    [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
    return allowed && host.size() <= kLongestHostName && (!dotted || parseIpAddress(host));
}

// "HOST:PORT" or "[IPV6]:PORT" into the mapping; an error text when it is neither.
std::string readEndpoint(std::string_view text, NetworkMapping& m) {
    std::string_view host;
    std::string_view port;
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos || text.substr(close + 1, 1) != ":")
            return "expects [IPV6-ADDRESS]:PORT after the brackets";
        host = text.substr(1, close - 1);
        port = text.substr(close + 2);
        const std::optional<IpAddress> address = parseIpAddress(host);
        if (!address || !address->v6)
            return "'" + std::string(host) + "' in brackets is not an IPv6 address";
    } else {
        const std::size_t colon = text.rfind(':');
        if (colon == std::string_view::npos)
            return "expects HOST:PORT";
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (host.find(':') != std::string_view::npos)
            return "an IPv6 address goes in brackets: [" + std::string(host) +
                   "]:" + std::string(port);
        if (host.empty() || !isHostName(host))
            return "'" + std::string(host) + "' is not a host name or address";
    }
    const std::optional<std::uint16_t> number = portNumber(port);
    if (!number)
        return "'" + std::string(port) + "' is not a port number (1 to 65535)";
    m.host = std::string(host);
    m.port = *number;
    return {};
}

// "allow=NET,NET,..." into the mapping; an error text when it is not that.
std::string readAllowList(std::string_view query, NetworkMapping& m) {
    if (!query.starts_with(kAllowOption))
        return "'" + std::string(query) + "' is not an option of a listening line (allow=)";
    query.remove_prefix(kAllowOption.size());
    for (;;) {
        const std::size_t comma = query.find(',');
        const std::string_view entry = query.substr(0, comma);
        const std::optional<IpNetwork> network = parseIpNetwork(entry);
        if (!network)
            return "'" + std::string(entry) +
                   "' in the allow list is not an address or network "
                   "(192.168.10.0/24, 10.1.2.3, 2001:db8::/32)";
        m.allow.push_back(*network);
        if (comma == std::string_view::npos)
            return {};
        query.remove_prefix(comma + 1);
    }
}

}  // namespace

bool isNetworkMapping(std::string_view text) {
    return std::any_of(kSchemes.begin(), kSchemes.end(),
                       [&](const Scheme& s) { return text.starts_with(s.prefix); });
}

NetworkMappingResult parseNetworkMapping(std::string_view text) {
    const auto scheme = std::find_if(kSchemes.begin(), kSchemes.end(),
                                     [&](const Scheme& s) { return text.starts_with(s.prefix); });
    if (scheme == kSchemes.end())
        return refused("expects tcp:HOST:PORT, rfc2217:HOST:PORT or listen:ADDRESS:PORT");
    NetworkMapping m;
    m.kind = scheme->kind;
    const std::size_t question = text.find('?');
    m.name = std::string(text.substr(0, question));
    if (question != std::string_view::npos && m.kind != NetworkLineKind::Listen)
        return refused("only a listening line takes options after '?'");

    const std::string_view endpoint = text.substr(0, question).substr(scheme->prefix.size());
    if (std::string error = readEndpoint(endpoint, m); !error.empty())
        return refused(std::move(error));
    if (m.kind != NetworkLineKind::Listen)
        return {std::move(m), {}};

    const std::optional<IpAddress> address = parseIpAddress(m.host);
    if (!address)
        return refused(
            "a listening line needs a numeric address (127.0.0.1, 0.0.0.0, [::1], [::]), not '" +
            m.host + "'");
    if (question != std::string_view::npos) {
        if (std::string error = readAllowList(text.substr(question + 1), m); !error.empty())
            return refused(std::move(error));
    }
    if (m.allow.empty() && !address->isLoopback())
        return refused(m.name +
                       " takes calls from the network: add ?allow= with the networks and addresses "
                       "that may call (listen:0.0.0.0:5000?allow=192.168.10.0/24,10.1.2.3)");
    return {std::move(m), {}};
}

}  // namespace karune
