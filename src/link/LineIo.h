#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "link/Clock.h"
#include "link/SerialLine.h"

namespace karune {

// Line-oriented exchange over a serial line: commands and words go out with a trailing CR, and a
// reply is everything that arrives until the line falls silent.
class LineIo {
public:
    static constexpr Clock::Duration kFirstCharacterWait = std::chrono::milliseconds(2000);
    static constexpr Clock::Duration kQuietGap = std::chrono::milliseconds(100);
    // A babbling line cannot grow a reply beyond this: the reply ends there, and being cut it
    // fails its frame check like any bad frame.
    static constexpr std::size_t kMaxReply = 1024 * 1024;

    LineIo(SerialLine& line, Clock& clock) : line_(line), clock_(clock) {}

    // Kept for the order of the modem dialogue: each read already returns everything waiting,
    // and nothing is discarded.
    void PrepareRead() {}

    // Writes `text` and one CR in a single write. No LF. Does not wait.
    void SendLine(std::string_view text);

    // Waits up to kFirstCharacterWait for a first byte, then collects chunks until kQuietGap
    // passes without data or a chunk that is exactly one CR arrives (that CR is not kept).
    // One trailing CR is removed. Empty when nothing arrived in time. A reply is cut at
    // kMaxReply; what followed in the same chunk is the start of the next reply.
    std::string ReceiveLine();

    // See SerialLine::lostReason() and SerialLine::modemReady().
    std::string lostReason() const { return line_.lostReason(); }
    std::optional<bool> modemReady() const { return line_.modemReady(); }

private:
    SerialLine& line_;
    Clock& clock_;
    std::string pending_;  // what arrived beyond the last reply's limit
};

}  // namespace karune
