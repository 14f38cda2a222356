#pragma once

#include <filesystem>
#include <optional>

namespace karune {

// The files that live beside the program.
struct ProgramPaths {
    std::filesystem::path programFolder;  // absolute, no trailing separator except at the root
    std::filesystem::path iniFile;   // programFolder / (executable name without extension + ".ini")
    std::filesystem::path backFile;  // programFolder / "Back.txt"
};

// The running executable: what `selfLink` points to, or else `argv0` made absolute against the
// current directory (an empty path when neither is known).
std::filesystem::path executablePath(const char* argv0,
                                     const std::filesystem::path& selfLink = "/proc/self/exe");

// The paths for `executable`. `homeOverride` (the --home option) replaces the executable's folder
// as the program folder; the settings file keeps the executable's name.
ProgramPaths programPaths(const std::filesystem::path& executable,
                          const std::optional<std::filesystem::path>& homeOverride);

}  // namespace karune
