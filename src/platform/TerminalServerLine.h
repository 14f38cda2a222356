#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "link/Clock.h"
#include "link/SerialLine.h"
#include "platform/ComPortClient.h"
#include "platform/Socket.h"

namespace karune {

// The modem's serial port on a terminal server, reached over a TCP connection: raw ("tcp:") or
// with the Telnet COM port option ("rfc2217:"). The connection going away is the modem's line
// going away: the line reads "NO CARRIER" once, as a modem says when its call drops, then
// silence, and lostReason() tells the operator.
class TerminalServerLine : public SerialLine {
public:
    // The longest the opening of the COM port option waits for the server to confirm the line
    // settings, DTR and RTS: a port without modem lines never confirms those two.
    static constexpr Clock::Duration kSettleTime = std::chrono::seconds(1);
    // Before the connection ends, the line waits for this much quiet after the last byte either
    // way, at most kClosingWait: a terminal server may drop what it has not yet written to the
    // port when the connection ends, and the last bytes are the hang-up command.
    static constexpr Clock::Duration kClosingQuiet = std::chrono::milliseconds(500);
    static constexpr Clock::Duration kClosingWait = std::chrono::seconds(2);

    // `comPort` is null for a raw line. `name` ("tcp:HOST:PORT") names it in the operator's texts.
    TerminalServerLine(Socket connection, std::unique_ptr<ComPortClient> comPort,
                       const Clock& clock, std::string name);
    ~TerminalServerLine() override;
    TerminalServerLine(const TerminalServerLine&) = delete;
    TerminalServerLine& operator=(const TerminalServerLine&) = delete;

    // With the COM port option: sends the requests and waits, at most kSettleTime, for the server
    // to confirm them; the modem's bytes that come before the purge are dropped. False when the
    // connection went meanwhile.
    bool settle();

    std::string readUntil(Clock::TimePoint deadline) override;
    [[nodiscard]] bool write(std::string_view bytes) override;
    std::string lostReason() const override;
    std::optional<bool> modemReady() const override;

private:
    // Waits for the server until `deadline` and takes in what it sent. False at the deadline.
    bool pump(Clock::TimePoint deadline);
    void awaitLastWords();
    void take(std::string_view bytes);
    void lose();

    Socket connection_;
    std::unique_ptr<ComPortClient> comPort_;
    const Clock& clock_;
    std::string name_;
    std::string data_;  // the modem's bytes not yet read
    bool gone_ = false;
    Clock::TimePoint lastWrite_{};
    std::optional<bool> reportedReady_;
    bool readyChanged_ = false;
};

}  // namespace karune
