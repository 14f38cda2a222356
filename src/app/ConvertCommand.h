#pragma once

#include <filesystem>

#include "app/Startup.h"

namespace karune {

// Recovery: converts the back-up file into `output` with the current settings (fields, append or
// overwrite), as the session does on "END". `keptBackup`, when not empty, names a kept back-up
// (a bare name is looked for in the home folder) to convert instead; it is removed once
// converted, so that it cannot be converted twice. Exit status 0 on success; 2 when `output` is
// one of the program's own files (convertOutputRefusal()); otherwise the error is on standard
// error and the status is 1.
int runConvert(const Startup& startup, const std::filesystem::path& output,
               const std::filesystem::path& keptBackup = {});

}  // namespace karune
