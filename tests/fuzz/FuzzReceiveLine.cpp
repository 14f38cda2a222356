// Reply assembly over a line whose chunks and gaps come from the fuzzer: a reply never exceeds
// its cap and holds only bytes that arrived, in the order they arrived.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>

#include "link/LineIo.h"
#include "linesim/VirtualClock.h"

namespace {

// Input layout: repeated [gap in ms (1 byte)] [length (1 byte)] [bytes...].
class ChunkedLine : public karune::SerialLine {
public:
    ChunkedLine(karune::sim::VirtualClock& clock, const std::uint8_t* data, std::size_t size)
        : clock_(clock) {
        karune::Clock::TimePoint at = clock.now();
        std::size_t pos = 0;
        while (pos + 2 <= size) {
            at += std::chrono::milliseconds(data[pos]);
            const std::size_t length = std::min<std::size_t>(data[pos + 1], size - pos - 2);
            chunks_.push_back({at, std::string(reinterpret_cast<const char*>(data + pos + 2), length)});
            total_ += chunks_.back().bytes;
            pos += 2 + length;
        }
    }

    std::string readUntil(karune::Clock::TimePoint deadline) override {
        while (!chunks_.empty() && chunks_.front().bytes.empty()) chunks_.pop_front();
        if (chunks_.empty() || chunks_.front().at > deadline) {
            clock_.advanceTo(deadline);
            return {};
        }
        clock_.advanceTo(chunks_.front().at);
        std::string out = std::move(chunks_.front().bytes);
        chunks_.pop_front();
        return out;
    }
    bool write(std::string_view) override { return true; }

    const std::string& total() const { return total_; }

private:
    struct Chunk {
        karune::Clock::TimePoint at;
        std::string bytes;
    };
    karune::sim::VirtualClock& clock_;
    std::deque<Chunk> chunks_;
    std::string total_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    karune::sim::VirtualClock clock;
    ChunkedLine line(clock, data, size);
    karune::LineIo io(line, clock);
    for (int i = 0; i < 8; ++i) {
        const std::string reply = io.ReceiveLine();
        // A reply is consecutive chunks less one closing CR, so it stands in what arrived.
        if (reply.size() > karune::LineIo::kMaxReply) std::abort();
        if (line.total().find(reply) == std::string::npos) std::abort();
    }
    return 0;
}
