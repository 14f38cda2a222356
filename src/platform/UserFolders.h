#pragma once

#include <filesystem>

namespace karune {

// The user's own folder for the settings and the back-up file when the program folder cannot
// hold them: $XDG_CONFIG_HOME/karune-modem (~/.config/karune-modem by default) on Linux,
// %LOCALAPPDATA%\karune-modem on Windows. Empty when none is known.
std::filesystem::path perUserHomeFolder();

// Whether the current user may create files in `folder`.
bool canCreateFilesIn(const std::filesystem::path& folder);

}  // namespace karune
