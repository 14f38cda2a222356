#pragma once

#include <algorithm>
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

    std::string readUntil(Clock::TimePoint deadline) override {
        for (;;) {
            const Clock::TimePoint t = clock_.now();
            if (onRead)
                onRead(t);
            if (!closed_)
                take(far_.tick(t), t);
            std::string due;
            while (!pending_.empty() && pending_.front().first <= t) {
                due += pending_.front().second;
                pending_.pop_front();
            }
            if (!due.empty() || t >= deadline)
                return due;
            Clock::TimePoint next = deadline;
            if (!pending_.empty())
                next = std::min(next, pending_.front().first);
            if (const auto ring = far_.nextEvent(); ring && !closed_)
                next = std::min(next, std::max(*ring, t));
            clock_.advanceTo(next);
        }
    }
    bool write(std::string_view bytes) override {
        if (onWrite)
            onWrite(bytes);
        if (closed_)
            return false;
        const Clock::TimePoint t = clock_.now();
        take(far_.receive(bytes, t), t + kReplyDelay);
        return true;
    }

    // Called on the session thread: with each call report of the far end ("call 3: ACK, ..."),
    // with what the session writes before the far end hears it, and with the time of each read.
    std::function<void(const std::string& report)> onReport;
    std::function<void(std::string_view bytes)> onWrite;
    std::function<void(Clock::TimePoint now)> onRead;

private:
    void take(const modemsim::ModemLine::Output& out, Clock::TimePoint due) {
        if (!out.bytes.empty())
            pending_.emplace_back(due, out.bytes);
        closed_ = closed_ || out.closeLine;
        for (const std::string& report : out.reports)
            if (onReport)
                onReport(report);
    }

    sim::VirtualClock& clock_;
    modemsim::ModemLine& far_;
    std::deque<std::pair<Clock::TimePoint, std::string>> pending_;
    bool closed_ = false;
};

}  // namespace karune::test
