#include "app/Startup.h"

#include "platform/ProgramEnvironment.h"

namespace karune {

Startup discoverStartup(const char* argv0, const CommandLine& line) {
    Startup startup;
    startup.paths = programPaths(runningProgram(argv0), line.home);
    startup.documentsFolder = userDocumentsFolder();
    startup.homeFolder = userHomeFolder();
    return startup;
}

SettingsEnvironment settingsEnvironment(const Startup& startup, OperatorMessages& messages) {
    SettingsEnvironment environment{startup.paths.iniFile, startup.paths.programFolder,
                                    startup.documentsFolder, /*osVersion6OrLater=*/true, messages};
    environment.homeFolder = startup.homeFolder;
    return environment;
}

}  // namespace karune
