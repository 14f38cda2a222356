#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/IpAddress.h"

namespace karune {

// What a port is mapped to besides a serial device: a line over TCP.
enum class NetworkLineKind {
    Tcp,      // "tcp:HOST:PORT": raw bytes to a terminal server's port
    Rfc2217,  // "rfc2217:HOST:PORT": the same with the Telnet COM port option
    Listen,   // "listen:ADDRESS:PORT[?allow=NET,...]": terminals call in; a connection is a call
};

struct NetworkMapping {
    NetworkLineKind kind = NetworkLineKind::Tcp;
    std::string host;  // a name or a numeric address, without brackets; numeric for Listen
    std::uint16_t port = 0;
    std::vector<IpNetwork> allow;  // Listen: who may call; empty only on a loopback address
    std::string name;              // "tcp:HOST:PORT" as written, without the allow list
};

struct NetworkMappingResult {
    std::optional<NetworkMapping> mapping;
    std::string error;  // why the text was refused (English), when `mapping` is empty
};

// True when `text` asks for a line over TCP rather than a device (it starts with "tcp:",
// "rfc2217:" or "listen:").
bool isNetworkMapping(std::string_view text);

// Reads a network mapping. HOST is a name, a dotted IPv4 address or an IPv6 address in brackets
// ("[2001:db8::7]:4001"); PORT is 1 to 65535. A listening line on any address but a loopback one
// must name the peers that may call: "listen:0.0.0.0:5000?allow=192.168.10.0/24,10.1.2.3".
NetworkMappingResult parseNetworkMapping(std::string_view text);

}  // namespace karune
