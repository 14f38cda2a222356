#pragma once

#include <filesystem>
#include <string>

#include "config/ProgramPaths.h"

namespace karune {

// Why --convert must not write into `output`, or empty text when it may: the back-up file it
// reads, the settings file, or a file named like the transfer log or a month's history file
// (isSaveFolderFileName()), which the program writes itself and the next call would empty or
// extend.
std::string convertOutputRefusal(const std::filesystem::path& output, const ProgramPaths& paths);

}  // namespace karune
