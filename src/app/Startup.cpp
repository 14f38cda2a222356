#include "app/Startup.h"

#include "platform/ProgramEnvironment.h"
#include "platform/UserFolders.h"

namespace karune {

Startup discoverStartup(const char* argv0, const CommandLine& line) {
    Startup startup;
    const std::filesystem::path executable = runningProgram(argv0);
    startup.home = chooseHomeFolder(line.home, programPaths(executable, std::nullopt),
                                    perUserHomeFolder(), canCreateFilesIn);
    startup.paths = programPaths(executable, startup.home.folder);
    startup.documentsFolder = userDocumentsFolder();
    startup.homeFolder = userHomeFolder();
    if (line.modemCheck)
        startup.modemCheck = *line.modemCheck;
    return startup;
}

SettingsEnvironment settingsEnvironment(const Startup& startup, OperatorMessages& messages) {
    SettingsEnvironment environment{startup.paths.iniFile, startup.paths.programFolder,
                                    startup.documentsFolder, /*osVersion6OrLater=*/true, messages};
    environment.homeFolder = startup.homeFolder;
    return environment;
}

}  // namespace karune
