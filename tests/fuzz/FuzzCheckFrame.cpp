// CheckFrame must classify any byte string without reading out of bounds, and accept a line
// only when it really is a frame with the right checksum.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "link/Frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const char expected = static_cast<char>(data[0]);
    const int crcType = data[1] & 1;
    const std::string_view line(reinterpret_cast<const char*>(data + 2), size - 2);
    if (karune::CheckFrame(line, expected, crcType) == karune::FrameCheck::Valid) {
        const std::string_view payload = karune::FramePayload(line);
        const std::string_view covered =
            crcType == 0 ? line.substr(0, line.size() - 2) : line.substr(2, line.size() - 4);
        if (line.substr(line.size() - 2) != karune::FrameChecksum(covered))
            std::abort();
        if (payload.size() + 5 != line.size())
            std::abort();
    }
    return 0;
}
