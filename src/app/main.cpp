// KARUNE_MODEM: answers modem calls from handheld terminals and stores their uploads.
#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "app/CommandLine.h"
#include "app/ConvertCommand.h"
#include "app/HeadlessApp.h"
#include "app/ServiceApp.h"
#include "app/SettingsCommand.h"
#include "app/Startup.h"
#include "app/StartupRefusal.h"
#include "app/WindowApp.h"
#include "config/Utf8Path.h"
#include "platform/DisplayPresence.h"
#include "platform/HomeLock.h"
#include "platform/ProgramEnvironment.h"

namespace {

int run(const karune::CommandLine& line, const karune::Startup& startup, int& argc, char** argv) {
    using namespace karune;
    switch (line.mode) {
        case RunMode::Headless:
            return runHeadless(startup);
        case RunMode::Service:
            return runService(startup);
        case RunMode::Convert:
            return runConvert(startup, line.convertOutput, line.convertBackup);
        case RunMode::SetSettings:
            return runSetSettings(startup, line.assignments, std::cerr);
        default:
            return runWindow(argc, argv, startup);
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace karune;
    useBinaryConsole();
    failDriveErrorsQuietly();
    const std::vector<std::string> args = programArguments(argc, argv);
    const auto parsed = parseCommandLine(args);
    if (const auto* error = std::get_if<CommandLineError>(&parsed)) {
        std::cerr << argv[0] << ": " << error->message << "\n"
                  << usageText(argv[0], discoverStartup(argv[0], {}).paths.programFolder);
        return 2;
    }
    const CommandLine& line = std::get<CommandLine>(parsed);
    const Startup startup = discoverStartup(argv[0], line);
    switch (line.mode) {
        case RunMode::Help:
            std::cerr << usageText(argv[0], startup.paths.programFolder);
            return 0;
        case RunMode::Version:
            std::cout << versionText();
            return 0;
        case RunMode::ShowSettings:
            return runShowSettings(startup, std::cout, std::cerr);
        case RunMode::Window:
            if (!displayAvailable()) {
                std::cerr << argv[0]
                          << ": no display found for the window; --headless runs without one\n";
                return 2;
            }
            break;
        default:
            break;
    }
    if (const std::string error = prepareHomeFolder(startup.home); !error.empty()) {
        std::cerr << argv[0] << ": " << error << "\n";
        return 1;
    }
    // Before any file of the home is touched: two programs would share one Back.txt.
    const HomeLock lock(startup.paths.programFolder);
    if (lock.outcome() != HomeLock::Outcome::Held) {
        const std::string folder = utf8FromPath(startup.paths.programFolder);
        std::string text = "cannot use the home folder " + folder + ": " + lock.error();
        if (lock.outcome() == HomeLock::Outcome::HeldByAnother)
            text = "the home folder " + folder +
                   " is in use by another karune-modem; each needs a home of its own (--home)";
        if (lock.outcome() == HomeLock::Outcome::StillHeld)
            text = "the home folder " + folder +
                   " is still held by a karune-modem that has just ended; start again in a moment";
        std::cerr << argv[0] << ": " << text << "\n";
        if (line.mode == RunMode::Window)
            showStartupRefusal(argc, argv, text);
        return 1;
    }
    return run(line, startup, argc, argv);
}
