#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace karune {

// CP932 (Microsoft's Shift_JIS) is the code of the wire and of every file; in memory text is
// UTF-8. Payloads are never sent through a decode/encode round trip: CP932 maps several codes to
// the same Unicode character (NEC and IBM rows), so a round trip would rewrite what the terminal
// sent. Decode only to display or to name a file.

// True for the first byte of a double-byte character (0x81-0x9F, 0xE0-0xFC).
bool isCp932LeadByte(unsigned char byte);

// Length in bytes of the character that starts at `pos`: 2 for a lead byte followed by any byte,
// otherwise 1 (single-byte characters, half-width katakana, a lone lead byte at the end, bytes
// that are not CP932 at all).
std::size_t cp932CharLength(std::string_view bytes, std::size_t pos);

// Length in bytes of the UTF-8 sequence that starts at `pos`, cut short where the text breaks it
// off; a stray continuation byte counts as one.
std::size_t utf8CharLength(std::string_view text, std::size_t pos);

// Number of CP932 characters, counted as cp932CharLength does.
std::size_t cp932CharCount(std::string_view bytes);

// Byte offset of `needle` in `haystack` starting on a character boundary, or npos. A search for
// "RING" must not match across the trail byte of a double-byte character.
std::size_t findOnCharBoundary(std::string_view haystack, std::string_view needle);

// Strict conversions: nullopt when the input holds anything the other side cannot represent.
std::optional<std::string> cp932ToUtf8(std::string_view cp932);
std::optional<std::string> utf8ToCp932(std::string_view utf8);

// Display conversions that always succeed: an undecodable byte becomes U+FFFD, an unencodable
// character becomes "?".
std::string cp932ToUtf8Lossy(std::string_view cp932);
std::string utf8ToCp932Lossy(std::string_view utf8);

}  // namespace karune
