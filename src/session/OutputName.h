#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "link/Clock.h"

namespace karune {

// The output file's name with its leading separator ("/", on Windows "\") and ".txt", by the
// AddDate rule:
//   1 "/" date ".txt"                   2 "/" date "-" hhmm ".txt"
//   3 "/" base "-" date ".txt"          4 "/" base "-" date "-" hhmm ".txt"
//   0 and any other value "/" base ".txt"
// where date is yyyymmdd and base is `fixFname` when it is not empty, otherwise the terminal's
// name decoded from CP932.
//
// Whoever typed or sent it, the name stays a file of its own in the save folder, on Linux and on
// Windows alike:
// - "/", "\", control characters, < > : " | ? * and bytes that are not CP932 become "_", so that
//   the name can neither leave the folder ("../x" is ".._x") nor fail to be created;
// - base is cut, at a character, so that the name stays within 255 bytes, the limit of a file
//   name on the file systems the program writes to;
// - a name Windows keeps for a device (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, in any
//   case, before the first "." and any trailing spaces), and a name of the program's own files
//   (isSaveFolderFileName(); "Back.txt" too when `saveFolderIsHome`), gets a "_" before its first
//   ".": "nul.txt" would be the null device on Windows and the upload would vanish while the call
//   reports success; "LOG.TXT" would be emptied by the next call's log.
// A name ending in "." or " " needs nothing: ".txt" always follows it.
std::string outputFileName(int addDate, std::string_view fixFname, std::string_view cp932Name,
                           const LocalDateTime& when, bool saveFolderIsHome);

// True for the names of the files the program keeps in the save folder: the transfer log
// "LOG.TXT" and a month's history file yyyy-mm ".txt" (any month: next month's file is as much the
// program's), in any case, since Windows does not tell cases apart.
bool isSaveFolderFileName(std::string_view fileName);

// Both name the same existing folder (a save folder given with a trailing separator or through a
// link included).
bool isSameFolder(const std::filesystem::path& a, const std::filesystem::path& b);

// The save folder, less one trailing separator, followed by `fileName` (which starts with one).
std::string outputPathFor(std::string_view folder, std::string_view fileName);

}  // namespace karune
