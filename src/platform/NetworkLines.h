#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/Clock.h"
#include "link/SerialPort.h"
#include "platform/ListenLine.h"

namespace karune {

// How long a terminal server has to accept the connection.
inline constexpr Clock::Duration kConnectTimeout = std::chrono::seconds(5);

// Writes each message as one line on standard error: "karune-modem: MESSAGE".
ConnectionLog standardErrorLog();

// The listening sockets of the program's listening lines. Each is bound when its line first opens
// and stays open until the program ends: a caller between two calls (the session closes and opens
// its port again) waits in the system's queue and rings at the next call wait, as a modem rings
// until the PC answers, instead of being refused. One that broke is bound anew. Used by one
// session at a time, as the ports are.
class Listeners {
public:
    // The listener of `name` on `address` and `port`; null with `reason` set when it cannot be
    // bound.
    std::shared_ptr<Socket> listenerFor(const std::string& name, const IpAddress& address,
                                        std::uint16_t port, std::string& reason);

private:
    std::map<std::string, std::shared_ptr<Socket>> open_;
};

// Opens the line a network mapping ("tcp:…", "rfc2217:…", "listen:…") names: connects to the
// terminal server and settles the COM port option, or takes its listener from `listeners`. The
// line's deadlines are read on `clock`, which must outlive it, as must `log`.
PortOpenResult openNetworkLine(std::string_view mapping, const Clock& clock,
                               const ConnectionLog& log, Listeners& listeners);

// Every KARUNE_COM<n> that names a line over TCP and is refused, one text each
// ("KARUNE_COM1=listen:0.0.0.0:5000: why"); empty when all can be used.
std::vector<std::string> portMappingProblems();

}  // namespace karune
