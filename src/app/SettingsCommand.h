#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/Startup.h"

namespace karune {

// --settings: the settings file's 30 items as NAME=VALUE lines on `out`, UTF-8, in the file's
// order; the file's path on `err`. Only reads: a running program may hold the home folder.
// Exit status 0, or 1 when the file is missing or cannot be read as settings.
int runShowSettings(const Startup& startup, std::ostream& out, std::ostream& err);

// --set NAME=VALUE...: loads the settings as start-up does (a missing or damaged file is reset
// with its message on `err`), applies every assignment and saves the record with the settings
// dialog's writer. Any refused assignment: none is written (the reset of a missing or damaged file
// stays, and the last line says so), each refusal is on `err`, exit status 2. A failed write: its
// message, exit status 1. Otherwise 0.
int runSetSettings(const Startup& startup, const std::vector<std::string>& assignments,
                   std::ostream& err);

}  // namespace karune
