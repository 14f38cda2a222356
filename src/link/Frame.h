#pragma once

#include <string>
#include <string_view>

namespace karune {

// Outcome of CheckFrame. The values are those of the terminal protocol's documentation; callers
// treat anything else as an "other" error.
enum class FrameCheck : int {
    ModemError = -3,     // the line carries a modem result word (tested first)
    ChecksumError = -2,  // the last two characters are not the checksum of the covered text
    FormatError = -1,    // "^", the sequence character or "*" is not where it must be
    Valid = 1,
};

// Two upper-case hexadecimal digits of the byte sum of `cp932` modulo 256 ("00" when empty).
std::string FrameChecksum(std::string_view cp932);

// Checks one received line (CR removed) against the frame layout
//   "^" seq payload "*" hh
// where positions count CP932 characters. crcType 0 covers "^" to "*"; any other value covers the
// payload and "*". A line too short to hold the marks is a format error.
FrameCheck CheckFrame(std::string_view line, char expectedSequence, int crcType);

// Payload of a frame that CheckFrame accepted: the bytes between the sequence character and "*",
// exactly as received.
std::string_view FramePayload(std::string_view frame);

}  // namespace karune
