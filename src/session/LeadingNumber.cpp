#include "session/LeadingNumber.h"

#include <cmath>
#include <limits>

namespace karune {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

double leadingNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    double value = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos)
        value = value * 10 + (text[pos] - '0');
    if (pos < text.size() && text[pos] == '.') {
        double scale = 0.1;
        for (++pos; pos < text.size() && isDigit(text[pos]); ++pos, scale /= 10)
            value += (text[pos] - '0') * scale;
    }
    return negative ? -value : value;
}

std::int64_t leadingInteger(std::string_view text) {
    const double rounded = std::nearbyint(leadingNumber(text));
    // 2^63 is exactly representable; anything at or beyond it is held at the limits.
    constexpr double kLimit = 9223372036854775808.0;
    if (rounded >= kLimit)
        return std::numeric_limits<std::int64_t>::max();
    if (rounded <= -kLimit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(rounded);
}

}  // namespace karune
