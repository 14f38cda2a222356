#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/Settings.h"

namespace karune {

// The value of a text that reads as a decimal number: blanks around it, an optional sign, digits
// with an optional fraction and exponent ("1", "0.5", ".5", "1e0"). nullopt for anything else,
// letters, an empty text, infinity and NaN included.
std::optional<double> numberFromText(std::string_view text);

// The one reading of TimeAdjust, for the loader's check, --set, the session and the dialog's
// check box: a text that reads as a number from 0 to 1 is valid, and it sets the terminal's
// clock when that number is 1 ("1", "1.0", "10e-1"). nullopt for any other text.
std::optional<bool> readTimeAdjust(std::string_view text);

// Every Option item within its range and TimeAdjust valid. The field flags are not looked at.
bool optionsInRange(const Settings& settings);

// Every Field(n) is 0 or 1.
bool fieldFlagsInRange(const Settings& settings);

// Why a text item cannot be kept in the settings file, naming `name`; empty when it can. The
// file has no escapes, so a double quote, CR or LF is refused; and a text must read back from its
// CP932 form as the same text: glibc writes ¢ £ ¬ ‖ − 〜 — as codes that read back as other
// characters, so a folder typed with one of them would not be found at the next start.
std::string textRefusal(std::string_view name, std::string_view text);

// textRefusal() of the first of FixFname, Folder and TimeAdjust that the file cannot keep, or
// empty. Every writer refuses such a record and --set names the refusal; the settings dialog's
// "OK" is meant to ask it before it saves.
std::string settingsTextRefusal(const Settings& settings);

}  // namespace karune
