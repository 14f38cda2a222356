#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "config/FileSystem.h"
#include "config/ProgramPaths.h"

namespace karune {

struct HomeChoice {
    std::filesystem::path folder;
    bool perUser = false;  // the per-user folder, which may not exist yet
};

// The file an installer puts beside the program: an installed program keeps its settings per user
// even where it could write beside itself (an administrator without UAC, Wine).
inline constexpr const char* kInstalledMark = "karune-modem.installed";

// Where the settings file and the back-up file live, in this order: the --home folder;
// `perUserFolder` when the program folder holds kInstalledMark; the program folder when it already
// holds the settings file or the user may create files in it (a copied folder, a build tree);
// otherwise `perUserFolder` (the program was installed for everyone by other means). An empty
// `perUserFolder` (none known) leaves the program folder.
HomeChoice chooseHomeFolder(
    const std::optional<std::filesystem::path>& homeOption, const ProgramPaths& besideProgram,
    const std::filesystem::path& perUserFolder,
    const std::function<bool(const std::filesystem::path&)>& canCreateFilesIn);

// Creates the per-user folder on first use, durably (see createFolders). Empty text on success,
// else why not.
std::string prepareHomeFolder(const HomeChoice& choice, FileSystem& files = systemFileSystem());

}  // namespace karune
