#pragma once

#include <array>
#include <string_view>

namespace karune {

// Result words of the modem that end a terminal exchange or restart the modem dialogue.
// Containment is tested on character boundaries of the CP932 text, case-sensitive.
inline constexpr std::array<std::string_view, 6> kModemResultWords = {
    "RING", "NO CARRIER", "ERROR", "NO DIALTONE", "BUSY", "NO ANSWER"};

bool containsModemResultWord(std::string_view cp932);

// Containment of one word (for "OK", "RING", "CONNECT"), on character boundaries.
bool containsWord(std::string_view cp932, std::string_view word);

}  // namespace karune
