#pragma once

#include <string>
#include <string_view>

#include "link/Clock.h"

namespace karune {

// The terminal's name made safe to use as a file name in the save folder: decoded from CP932 to
// UTF-8, with "/", "\", control characters, < > : " | ? * and undecodable bytes each replaced by
// "_", so that the name can neither leave the folder nor fail to be created on Linux or Windows.
// A name Windows keeps for a device (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, in any case,
// with any extension) gets a "_" after the device name: "nul.txt" would be the null device there,
// and the upload would vanish while the call reports success.
std::string safeFileBaseName(std::string_view cp932Name);

// The output file's name with its leading separator ("/", on Windows "\") and ".txt", by the
// AddDate rule:
//   1 "/" date ".txt"                   2 "/" date "-" hhmm ".txt"
//   3 "/" base "-" date ".txt"          4 "/" base "-" date "-" hhmm ".txt"
//   0 and any other value "/" base ".txt"
// where date is yyyymmdd and base is `fixFname` when it is not empty, otherwise the safe form of
// the terminal's name.
std::string outputFileName(int addDate, std::string_view fixFname, std::string_view cp932Name,
                           const LocalDateTime& when);

// The save folder, less one trailing separator, followed by `fileName` (which starts with one).
std::string outputPathFor(std::string_view folder, std::string_view fileName);

}  // namespace karune
