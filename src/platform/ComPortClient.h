#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/TelnetClient.h"

namespace karune {

// The client of the Telnet COM port control option (RFC 2217) as the modem's line needs it:
// BINARY and SUPPRESS-GO-AHEAD both ways, then 38400 baud, 8 data bits, no parity, 1 stop bit, no
// flow control, DTR and RTS on, the server's buffers purged, and the modem lines reported. Bytes
// only, no I/O: the line that owns the connection moves them.
class ComPortClient {
public:
    static constexpr std::uint8_t kOption = 44;

    // What to send first: the option requests. The line settings follow once the server has
    // agreed to the option.
    std::string opening() { return telnet_.requests(); }

    struct Inbound {
        std::string data;     // the modem's bytes
        std::string replies;  // to send to the server
    };
    // Bytes from the server. The modem's bytes that arrive before the server has confirmed the
    // purge, or before endOpening(), are stale and dropped.
    Inbound receive(std::string_view bytes);
    // The modem's bytes as the server must get them.
    std::string outbound(std::string_view data) const { return telnet_.escape(data); }

    // The server confirmed every setting, or refused the option (it is then used as it is).
    bool settled() const;
    // The opening wait is over: whatever comes now is the modem's.
    void endOpening() { purging_ = false; }

    // DSR as the server last reported it. Unknown until a report comes, and on a port whose
    // server never confirmed DTR: a port without modem lines (a pseudo-terminal behind ser2net)
    // reports them all off, which says nothing about the modem.
    std::optional<bool> modemReady() const;

private:
    void serverSaid(std::string_view subnegotiation);

    telnet::TelnetClient telnet_{{telnet::kBinary, telnet::kSuppressGoAhead, kOption},
                                 {telnet::kBinary, telnet::kSuppressGoAhead}};
    bool settingsSent_ = false;
    unsigned confirmed_ = 0;  // one bit per setting, see ComPortClient.cpp
    bool purging_ = true;
    std::optional<std::uint8_t> modemState_;
};

}  // namespace karune
