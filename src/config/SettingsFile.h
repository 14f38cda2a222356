#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/Settings.h"

namespace karune {

// The settings file holds one line of 30 comma-separated items in the order of settingsTable():
// numbers in plain decimal ("-" for negatives), texts between double quotes, CR LF at the end, all
// in CP932.

struct EncodedSettings {
    std::string bytes;  // the whole line, CR LF included; empty when encoding failed
    std::string error;  // why the record cannot be written; empty on success
    bool ok() const { return error.empty(); }
};

// Fails, naming the item, when a text would not read back as written (settingsTextRefusal()).
EncodedSettings encodeSettingsLine(const Settings& settings);

// Reads the first 30 items of the file's content; anything after the 30th item is ignored.
// nullopt when there are fewer than 30 items or an item cannot be taken as its field's type.
//
// Beyond what the writer produces, the reader accepts: LF or a lone CR as well as CR LF as a line
// end; blank lines (nothing but spaces and tabs), which hold no item; spaces and tabs around an
// item; numbers between quotes; texts without quotes (then trimmed). It refuses: a number that
// is empty, holds anything but an optional "-" and digits, or lies outside the 16-bit range;
// characters after a closing quote; a quote left open at the line end; a text that is not valid
// CP932. A UTF-8 byte order mark is not skipped: such a file was not written in the settings'
// code page, and its first item does not read as a number.
std::optional<Settings> parseSettingsText(std::string_view content);

}  // namespace karune
