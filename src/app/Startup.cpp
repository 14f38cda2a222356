#include "app/Startup.h"

#include <cstdlib>

#include "config/DocumentsFolder.h"

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
    startup.paths = programPaths(executablePath(argv0), line.home);
    startup.documentsFolder =
        findDocumentsFolder(environment("HOME"), environment("XDG_CONFIG_HOME"));
    return startup;
}

SettingsEnvironment settingsEnvironment(const Startup& startup, OperatorMessages& messages) {
    return SettingsEnvironment{startup.paths.iniFile, startup.paths.programFolder,
                               startup.documentsFolder, /*osVersion6OrLater=*/true, messages};
}

}  // namespace karune
