#include "linesim/SimulatedLine.h"

#include <algorithm>
#include <utility>

namespace karune::sim {

SimulatedLine::SimulatedLine(VirtualClock& clock, Peer peer)
    : clock_(clock), peer_(std::move(peer)) {}

std::string SimulatedLine::readUntil(Clock::TimePoint deadline) {
    Clock::TimePoint until = deadline;
    if (!pending_.empty())
        until = std::min(until, pending_.begin()->first);
    if (!readyChanges_.empty())
        until = std::min(until, readyChanges_.begin()->first);
    clock_.advanceTo(until);
    while (!readyChanges_.empty() && readyChanges_.begin()->first <= clock_.now()) {
        ready_ = readyChanges_.begin()->second;
        readyChanges_.erase(readyChanges_.begin());
    }
    std::string chunk;
    while (!pending_.empty() && pending_.begin()->first <= clock_.now()) {
        chunk += pending_.begin()->second;
        pending_.erase(pending_.begin());
    }
    return chunk;
}

bool SimulatedLine::write(std::string_view bytes) {
    written_.append(bytes);
    for (char c : bytes) {
        if (c != '\r') {
            partialLine_.push_back(c);
            continue;
        }
        std::string line;
        line.swap(partialLine_);
        if (peer_)
            peer_(line, *this);
    }
    return true;
}

void SimulatedLine::deliver(std::string bytes, Clock::Duration delay) {
    pending_.emplace(clock_.now() + delay, std::move(bytes));
}

void SimulatedLine::setModemReady(std::optional<bool> ready, Clock::Duration delay) {
    readyChanges_.emplace(clock_.now() + delay, ready);
}

void SimulatedLine::vanish(std::string reason) {
    pending_.clear();
    lostReason_ = std::move(reason);
}

std::vector<std::string> SimulatedLine::sentLines() const {
    std::vector<std::string> lines;
    std::string current;
    for (char c : written_) {
        if (c == '\r') {
            lines.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

}  // namespace karune::sim
