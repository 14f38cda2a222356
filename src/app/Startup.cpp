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
    const std::optional<std::string> home = environment("HOME");
    startup.documentsFolder = findDocumentsFolder(home, environment("XDG_CONFIG_HOME"));
    startup.homeFolder = home.value_or("");
    return startup;
}

SettingsEnvironment settingsEnvironment(const Startup& startup, OperatorMessages& messages) {
    SettingsEnvironment environment{startup.paths.iniFile, startup.paths.programFolder,
                                    startup.documentsFolder, /*osVersion6OrLater=*/true, messages};
    environment.homeFolder = startup.homeFolder;
    return environment;
}

}  // namespace karune
