#pragma once

#include <cstdint>
#include <string>

namespace karune::bench {

// Record lines as handheld terminals upload them: comma-separated fields of digits, dates, codes
// and Japanese names in CP932 (double-byte and half-width katakana), now and then an empty field.
// The bytes never hold a modem result word, "*", "^" or "@", so every line travels as a valid
// frame payload. The same seed gives the same lines.
class RecordText {
public:
    explicit RecordText(std::uint32_t seed) : state_(seed == 0 ? 1 : seed) {}

    // Appends one line of `fields` fields (no line end) to `out`.
    void appendLine(int fields, std::string& out);

private:
    std::uint32_t next();
    void appendDigits(int count, std::string& out);

    std::uint32_t state_;
};

}  // namespace karune::bench
