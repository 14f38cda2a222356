#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "link/Clock.h"

namespace karune {

// One open serial line (a modem on a tty, a pseudo-terminal, or a simulated line in tests).
// Bytes are passed as they travel on the wire, CP932, never converted.
//
// Contract:
// - readUntil() blocks without spinning until at least one byte is waiting or the deadline of
//   the line's clock has passed, then returns every byte waiting (empty at the deadline). It never
//   throws; a line that has gone away (hang-up, device removed) reads as silence: each call
//   returns empty at its deadline, never earlier, so a caller's loop cannot spin. The one
//   exception: a change of modemReady() ends the wait at once, with what is waiting (maybe
//   nothing); each change does so once.
// - lostReason() is empty while the line is there; once the device has hung up or vanished for
//   good (a pulled USB adapter), it is the operator's text for that, UTF-8.
// - modemReady() is the modem's ready line (DSR) as the port last reported it, or nullopt where
//   the port cannot tell (a pseudo-terminal, a terminal server without modem lines). A line
//   watches it without polling.
// - write() hands all bytes to the line in one go and does not wait for them to leave. It
//   returns false when the line refused them; callers that do not care may ignore that.
class SerialLine {
public:
    virtual ~SerialLine() = default;

    virtual std::string readUntil(Clock::TimePoint deadline) = 0;
    [[nodiscard]] virtual bool write(std::string_view bytes) = 0;
    virtual std::string lostReason() const { return {}; }
    virtual std::optional<bool> modemReady() const { return std::nullopt; }
};

}  // namespace karune
