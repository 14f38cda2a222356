#include "app/Startup.h"

#include "config/Utf8Path.h"
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

std::string homeLockRefusal(const HomeLock& lock, const std::filesystem::path& folder) {
    const std::string name = utf8FromPath(folder);
    switch (lock.outcome()) {
        case HomeLock::Outcome::Held:
            return {};
        case HomeLock::Outcome::HeldByAnother:
            return "the home folder " + name +
                   " is in use by another karune-modem; each needs a home of its own (--home)";
        case HomeLock::Outcome::StillHeld:
            return "the home folder " + name +
                   " is still held by a karune-modem that has just ended; start again in a moment";
        case HomeLock::Outcome::Failed:
            break;
    }
    return "cannot use the home folder " + name + ": " + lock.error();
}

}  // namespace karune
