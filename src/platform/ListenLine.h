#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/Clock.h"
#include "link/SerialLine.h"
#include "platform/IpAddress.h"
#include "platform/Socket.h"

namespace karune {

// Where a line over TCP tells of each connection it refuses or cuts off, with the peer's address.
using ConnectionLog = std::function<void(const std::string& message)>;

// What keeps one caller from holding a listening line. The session's own time-outs end most
// callers that fall silent, as they end a silent modem line; these end the rest, and those that
// keep talking.
struct ListenLimits {
    // An upload through a 38400-baud modem moves some 14 MB in an hour.
    Clock::Duration callLength = std::chrono::hours(1);
    std::size_t callBytes = 16 * 1024 * 1024;
    // A modem's inactivity timer: the session asks for the clock setting until it is answered.
    Clock::Duration callSilence = std::chrono::seconds(60);
    // A connection rings until it is answered or has rung this often. Answering takes the session
    // a moment; a ring it missed (while it read the modem's "OK") comes again soon.
    Clock::Duration ringInterval = std::chrono::seconds(2);
    int rings = 15;
};

// A listening socket that plays the modem, so that the session and the protocol do not change:
// "AT" commands are answered "OK"; a connection from a permitted address rings ("RING") until
// "ATA" answers it ("CONNECT 38400"); from then on the caller's bytes are the line's, until "+++"
// hangs up or the caller leaves ("NO CARRIER"). One call at a time: a connection that comes
// during a call, or from an address `allow` does not hold, is closed at once, before a byte is
// read or sent, and logged. An empty `allow` admits loopback peers only. The listener outlives
// the line (Listeners): a caller between two calls waits in the system's queue.
class ListenLine : public SerialLine {
public:
    ListenLine(std::shared_ptr<Socket> listener, std::vector<IpNetwork> allow, const Clock& clock,
               std::string name, ConnectionLog log, ListenLimits limits = {});
    ~ListenLine() override;
    ListenLine(const ListenLine&) = delete;
    ListenLine& operator=(const ListenLine&) = delete;

    std::string readUntil(Clock::TimePoint deadline) override;
    [[nodiscard]] bool write(std::string_view bytes) override;
    // Set once the listener cannot take connections any more (out of descriptors); it is closed,
    // so that the port's next opening listens anew.
    std::string lostReason() const override;

private:
    enum class Call { None, Ringing, Online };

    void acceptWaiting();
    void admit(Socket connection, const SocketPeer& peer);
    void ring();
    void hearCaller();
    void command(std::string_view line);
    void hangUp();
    // The line ends the call: the session reads "NO CARRIER", the log says why.
    void cutOff(const std::string& why);
    Clock::TimePoint wakeAt(Clock::TimePoint deadline) const;

    std::shared_ptr<Socket> listener_;
    std::vector<IpNetwork> allow_;
    const Clock& clock_;
    std::string name_;
    ConnectionLog log_;
    ListenLimits limits_;
    bool broken_ = false;

    Socket call_;
    std::string caller_;  // the caller's address, for the log
    Call state_ = Call::None;
    int rings_ = 0;
    Clock::TimePoint nextRing_{};
    Clock::TimePoint callEnds_{};
    Clock::TimePoint silentSince_{};  // the caller's last bytes
    std::size_t callBytes_ = 0;
    std::string toSession_;    // the modem's words and the caller's bytes not yet read
    std::string commandLine_;  // a command not yet ended by its CR
};

}  // namespace karune
