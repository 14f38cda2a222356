#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <utility>

#include "ModemLine.h"
#include "linesim/VirtualClock.h"
#include "link/SerialLine.h"

namespace karune::test {

// A serial line in virtual time whose far end is the simulator's modem and terminal. Unlike the
// simulated line it keeps no record of the traffic, so a run of any length holds its memory
// flat; what a test wants to know it learns from the far end's call reports.
class ModemLineWire : public SerialLine {
public:
    static constexpr Clock::Duration kReplyDelay = std::chrono::milliseconds(20);

    ModemLineWire(sim::VirtualClock& clock, modemsim::ModemLine& farEnd)
        : clock_(clock), far_(farEnd) {}

    std::string readUntil(Clock::TimePoint deadline) override;
    bool write(std::string_view bytes) override;

    // Called on the session thread with each call report of the far end ("call 3: ACK, ...").
    std::function<void(const std::string& report)> onReport;

private:
    void take(const modemsim::ModemLine::Output& out, Clock::TimePoint due);

    sim::VirtualClock& clock_;
    modemsim::ModemLine& far_;
    std::deque<std::pair<Clock::TimePoint, std::string>> pending_;
    bool closed_ = false;
};

}  // namespace karune::test
