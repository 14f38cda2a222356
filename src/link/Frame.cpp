#include "link/Frame.h"

#include <cstdint>
#include <vector>

#include "link/Cp932.h"
#include "link/ModemWords.h"

namespace karune {
namespace {

// Byte offsets of the CP932 characters of `text`, plus one past the end.
std::vector<std::size_t> characterOffsets(std::string_view text) {
    std::vector<std::size_t> offsets;
    std::size_t pos = 0;
    while (pos < text.size()) {
        offsets.push_back(pos);
        pos += cp932CharLength(text, pos);
    }
    offsets.push_back(text.size());
    return offsets;
}

}  // namespace

std::string FrameChecksum(std::string_view cp932) {
    std::uint8_t sum = 0;
    for (char c : cp932)
        sum = static_cast<std::uint8_t>(sum + static_cast<unsigned char>(c));
    static constexpr char kHex[] = "0123456789ABCDEF";
    return {kHex[sum >> 4], kHex[sum & 0x0F]};
}

FrameCheck CheckFrame(std::string_view line, char expectedSequence, int crcType) {
    if (containsModemResultWord(line))
        return FrameCheck::ModemError;

    const std::vector<std::size_t> at = characterOffsets(line);
    const std::size_t length = at.size() - 1;  // in characters
    if (length < 5)
        return FrameCheck::FormatError;

    auto character = [&](std::size_t position) {  // 1-based, as the frame layout counts
        return line.substr(at[position - 1], at[position] - at[position - 1]);
    };
    if (character(1) != "^" || character(2) != std::string_view(&expectedSequence, 1) ||
        character(length - 2) != "*")
        return FrameCheck::FormatError;

    const std::size_t coveredFrom = crcType == 0 ? at[0] : at[2];
    const std::size_t coveredTo = at[length - 2];  // one past "*"
    const std::string_view covered = line.substr(coveredFrom, coveredTo - coveredFrom);
    const std::string_view received = line.substr(coveredTo);
    return received == FrameChecksum(covered) ? FrameCheck::Valid : FrameCheck::ChecksumError;
}

std::string_view FramePayload(std::string_view frame) {
    const std::size_t star = frame.size() - 3;
    return frame.substr(2, star - 2);
}

}  // namespace karune
