#pragma once

#include <cstdint>
#include <string_view>

namespace karune {

// The decimal number at the start of `text`, read the way the terminal's texts expect
// (the file-name frame's count): leading spaces are skipped, then an optional sign, digits and an
// optional fraction; reading stops at the first character that cannot continue the number. 0 when
// there is none.
double leadingNumber(std::string_view text);

// leadingNumber() rounded to the nearest integer (halves to even) and held within int64.
std::int64_t leadingInteger(std::string_view text);

}  // namespace karune
