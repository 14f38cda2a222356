#include "link/Cp932.h"

namespace karune {

bool isCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::size_t cp932CharLength(std::string_view bytes, std::size_t pos) {
    if (pos + 1 < bytes.size() && isCp932LeadByte(static_cast<unsigned char>(bytes[pos])))
        return 2;
    return 1;
}

std::size_t utf8CharLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t length = lead < 0xC0 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    std::size_t n = 1;
    while (n < length && pos + n < text.size() &&
           (static_cast<unsigned char>(text[pos + n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

std::size_t cp932CharCount(std::string_view bytes) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < bytes.size(); pos += cp932CharLength(bytes, pos))
        ++count;
    return count;
}

std::size_t findOnCharBoundary(std::string_view haystack, std::string_view needle) {
    for (std::size_t pos = 0; pos + needle.size() <= haystack.size();
         pos += cp932CharLength(haystack, pos)) {
        if (haystack.compare(pos, needle.size(), needle) == 0)
            return pos;
    }
    return std::string_view::npos;
}

}  // namespace karune
