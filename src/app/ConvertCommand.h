#pragma once

#include <filesystem>

#include "app/Startup.h"

namespace karune {

// Recovery: converts the back-up file into `output` with the current settings (fields, append or
// overwrite), as the session does on "END". Exit status 0 on success; 2 when `output` is one of
// the program's own files (convertOutputRefusal()); otherwise the error is on standard error and
// the status is 1.
int runConvert(const Startup& startup, const std::filesystem::path& output);

}  // namespace karune
