// Reply assembly over a line whose chunks and gaps come from the fuzzer: a reply never exceeds
// its cap and holds only bytes that arrived, in the order they arrived.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "linesim/SimulatedLine.h"
#include "linesim/VirtualClock.h"
#include "link/LineIo.h"

// Input layout: repeated [gap in ms (1 byte)] [length (1 byte)] [bytes...].
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    karune::sim::VirtualClock clock;
    karune::sim::SimulatedLine line(clock);
    std::string total;
    std::chrono::milliseconds at{0};
    std::size_t pos = 0;
    while (pos + 2 <= size) {
        at += std::chrono::milliseconds(data[pos]);
        const std::size_t length = std::min<std::size_t>(data[pos + 1], size - pos - 2);
        const std::string chunk(reinterpret_cast<const char*>(data + pos + 2), length);
        line.deliver(chunk, at);
        total += chunk;
        pos += 2 + length;
    }
    karune::LineIo io(line, clock);
    for (int i = 0; i < 8; ++i) {
        const std::string reply = io.ReceiveLine();
        // A reply is consecutive chunks less one closing CR, so it stands in what arrived.
        if (reply.size() > karune::LineIo::kMaxReply)
            std::abort();
        if (total.find(reply) == std::string::npos)
            std::abort();
    }
    return 0;
}
