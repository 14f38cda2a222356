#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace karune {

// What the program learns from the system it runs on, before anything else.

// The command-line arguments after the program's name, as the program's texts hold file names:
// on Windows UTF-8 from the wide command line (the narrow one loses what the ANSI code page cannot
// hold), elsewhere the bytes given.
std::vector<std::string> programArguments(int argc, char** argv);

// The running executable file; `argv0` is the fallback where the system cannot tell.
std::filesystem::path runningProgram(const char* argv0);

// The user's documents folder as UTF-8, empty when none is known.
std::string userDocumentsFolder();

// The user's home (profile) folder as UTF-8, empty when none is known.
std::string userHomeFolder();

// Standard output and error pass bytes unchanged (no LF to CR LF translation on Windows).
void useBinaryConsole();

enum class StandardStream { Output, Error };

// True when `stream` is systemd's journal, whose lines may then carry syslog priorities: the
// device and inode that JOURNAL_STREAM names are the stream's. Never on Windows.
bool isJournal(StandardStream stream);

// The environment variable `name` as UTF-8; nothing when it is not set.
std::optional<std::string> environmentText(const std::string& name);

// A drive that fails (an empty card reader, a network drive gone) fails the file operation that
// touched it, in every mode: Windows would otherwise wait in a system dialog ("There is no disk in
// the drive") for a user who may not be there. Nothing to do elsewhere.
void failDriveErrorsQuietly();

}  // namespace karune
