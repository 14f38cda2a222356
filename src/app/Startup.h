#pragma once

#include "app/CommandLine.h"
#include "config/HomeFolder.h"
#include "config/ProgramPaths.h"
#include "config/SettingsStore.h"
#include "platform/HomeLock.h"
#include "session/CommSession.h"

namespace karune {

// What every way of running the program finds out first: where its files are and what a reset
// of the settings would choose.
struct Startup {
    ProgramPaths paths;  // paths.programFolder is the home folder
    HomeChoice home;
    std::string documentsFolder;
    std::string homeFolder;
    Clock::Duration modemCheck = SessionServices::kDefaultModemCheck;
};

// Finds the home folder without creating it; prepareHomeFolder(startup.home) does that.
Startup discoverStartup(const char* argv0, const CommandLine& line);

SettingsEnvironment settingsEnvironment(const Startup& startup, OperatorMessages& messages);

// Why this program may not use the home folder `folder`: empty when `lock` holds it.
std::string homeLockRefusal(const HomeLock& lock, const std::filesystem::path& folder);

}  // namespace karune
