#pragma once

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

// Opens the line a network mapping ("tcp:…", "rfc2217:…", "listen:…") names: connects to the
// terminal server and settles the COM port option, or starts listening. The line's deadlines are
// read on `clock`, which must outlive it, as must `log`.
PortOpenResult openNetworkLine(std::string_view mapping, const Clock& clock,
                               const ConnectionLog& log);

// Every KARUNE_COM<n> that names a line over TCP and is refused, one text each
// ("KARUNE_COM1=listen:0.0.0.0:5000: why"); empty when all can be used.
std::vector<std::string> portMappingProblems();

}  // namespace karune
