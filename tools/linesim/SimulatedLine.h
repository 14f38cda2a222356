#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "linesim/VirtualClock.h"
#include "link/SerialLine.h"

namespace karune::sim {

// A serial line in virtual time. What the program writes is recorded and handed, line by line
// (split at CR), to a peer; the peer answers by scheduling bytes for delivery at a virtual time.
// A read advances the virtual clock to the next delivery or to its deadline, so waiting costs no
// real time.
class SimulatedLine : public SerialLine {
public:
    // Called for every CR-terminated line the program sends, without its CR.
    using Peer = std::function<void(const std::string& line, SimulatedLine& self)>;

    explicit SimulatedLine(VirtualClock& clock, Peer peer = {});

    std::string readUntil(Clock::TimePoint deadline) override;
    bool write(std::string_view bytes) override;
    std::string lostReason() const override { return lostReason_; }
    std::optional<bool> modemReady() const override { return ready_; }

    // The device goes away, as a pulled adapter does: nothing scheduled arrives any more, and the
    // line reports `reason` as lost.
    void vanish(std::string reason);
    // The device is back, as an adapter is after the computer resumed.
    void comeBack() { lostReason_.clear(); }

    void setPeer(Peer peer) { peer_ = std::move(peer); }

    // The modem's ready line (DSR) becomes `ready` `delay` after now; nullopt, as at the start, is
    // a port without modem lines. The change ends the read waiting then, or else the next one.
    void setModemReady(std::optional<bool> ready, Clock::Duration delay = Clock::Duration::zero());

    // Schedules bytes from the peer to arrive `delay` after now. Deliveries due at the same time
    // arrive as one chunk, in the order they were scheduled.
    void deliver(std::string bytes, Clock::Duration delay = Clock::Duration::zero());

    // Every byte the program wrote, and the same split into lines at CR (a trailing partial line
    // is included).
    const std::string& written() const { return written_; }
    std::vector<std::string> sentLines() const;

    VirtualClock& clock() { return clock_; }

private:
    VirtualClock& clock_;
    Peer peer_;
    std::multimap<Clock::TimePoint, std::string> pending_;
    std::string written_;
    std::string partialLine_;
    std::string lostReason_;
    std::multimap<Clock::TimePoint, std::optional<bool>> readyChanges_;
    std::optional<bool> ready_;
};

}  // namespace karune::sim
