#include "ModemLineWire.h"

#include <algorithm>

namespace karune::test {

void ModemLineWire::take(const modemsim::ModemLine::Output& out, Clock::TimePoint due) {
    if (!out.bytes.empty())
        pending_.emplace_back(due, out.bytes);
    closed_ = closed_ || out.closeLine;
    for (const std::string& report : out.reports) {
        if (onReport)
            onReport(report);
    }
}

std::string ModemLineWire::readUntil(Clock::TimePoint deadline) {
    for (;;) {
        const Clock::TimePoint t = clock_.now();
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

bool ModemLineWire::write(std::string_view bytes) {
    if (closed_)
        return false;
    const Clock::TimePoint t = clock_.now();
    take(far_.receive(bytes, t), t + kReplyDelay);
    return true;
}

}  // namespace karune::test
