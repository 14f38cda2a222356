#include "app/Startup.h"

#include <cstdlib>

#include "config/DocumentsFolder.h"
#include "platform/UserFolders.h"

namespace karune {
namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr)
        return std::nullopt;
    return std::string(value);
}

}  // namespace

Startup discoverStartup(const char* argv0, const CommandLine& line) {
    Startup startup;
    const std::filesystem::path executable = executablePath(argv0);
    startup.home = chooseHomeFolder(line.home, programPaths(executable, std::nullopt),
                                    perUserHomeFolder(), canCreateFilesIn);
    startup.paths = programPaths(executable, startup.home.folder);
    startup.documentsFolder =
        findDocumentsFolder(environment("HOME"), environment("XDG_CONFIG_HOME"));
    return startup;
}

SettingsEnvironment settingsEnvironment(const Startup& startup, OperatorMessages& messages) {
    return SettingsEnvironment{startup.paths.iniFile, startup.paths.programFolder,
                               startup.documentsFolder, /*osVersion6OrLater=*/true, messages};
}

}  // namespace karune
