#pragma once

#include <optional>
#include <string_view>

#include "config/Settings.h"

namespace karune {

// The value of a text that reads as a decimal number: blanks around it, an optional sign, digits
// with an optional fraction and exponent ("1", "0.5", ".5", "1e0"). nullopt for anything else,
// letters, an empty text, infinity and NaN included.
std::optional<double> numberFromText(std::string_view text);

// AddDate 0..4, Port 1..8, CrcType, OverWrite, StartUpSize, AutoStart and Protocol 0..1, and
// TimeAdjust a number from 0 to 1. The field flags are not looked at.
bool optionsInRange(const Settings& settings);

// Every Field(n) is 0 or 1.
bool fieldFlagsInRange(const Settings& settings);

}  // namespace karune
