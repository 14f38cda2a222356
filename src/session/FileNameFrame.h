#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace karune {

// What a file-name frame ("^#" name "@" count "*" checksum) announces.
struct FileNameFrame {
    std::string name;               // CP932 bytes between "^#" and the first "@"
    std::int64_t announcedCount{};  // the number that starts right after that "@"
};

// Reads a frame that passed the frame check. Without an "@" (searched on character boundaries,
// so the trail byte 0x40 of a double-byte character is not one) the frame announces nothing.
std::optional<FileNameFrame> parseFileNameFrame(std::string_view frame);

}  // namespace karune
