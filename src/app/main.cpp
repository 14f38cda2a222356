// KARUNE_MODEM: answers modem calls from handheld terminals and stores their uploads.
#include <cstdlib>
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
#include "platform/DisplayPresence.h"
#include "platform/HomeLock.h"
#include "platform/NetworkLines.h"
#include "platform/ProgramEnvironment.h"
#include "platform/StreamLog.h"

namespace {

int run(const karune::CommandLine& line, const karune::Startup& startup, int& argc, char** argv) {
    using namespace karune;
    switch (line.mode) {
        case RunMode::Headless:
            return runHeadless(startup);
        case RunMode::Convert:
            return runConvert(startup, line.convertOutput, line.convertBackup);
        case RunMode::SetSettings:
            return runSetSettings(startup, line.assignments, std::cerr);
        default:
            return runWindow(argc, argv, startup);
    }
}

// A port mapping that no line can use is told before anything starts. True when refused. (The
// service tells it as its port's error, in its log and the event log.)
bool refusedPortMappings(const karune::CommandLine& line, karune::StreamLog& refusal, int& argc,
                         char** argv) {
    using karune::RunMode;
    if (line.mode != RunMode::Window && line.mode != RunMode::Headless)
        return false;
    const std::vector<std::string> problems = karune::portMappingProblems();
    if (problems.empty())
        return false;
    std::string text;
    for (const std::string& problem : problems) {
        refusal.write(karune::Severity::Error, std::string(argv[0]) + ": " + problem);
        text += (text.empty() ? "" : "\n") + problem;
    }
    if (line.mode == RunMode::Window)
        karune::showStartupRefusal(argc, argv, text);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace karune;
    useBinaryConsole();
    failDriveErrorsQuietly();
    // Why the program cannot run, as an error of the journal when that is its standard error.
    StreamLog refusal(std::cerr, isJournal(StandardStream::Error));
    const std::string program = argv[0];
    const std::vector<std::string> args = programArguments(argc, argv);
    const auto parsed = parseCommandLine(args);
    if (const auto* error = std::get_if<CommandLineError>(&parsed)) {
        refusal.write(Severity::Error, program + ": " + error->message);
        std::cerr << usageText(argv[0], discoverStartup(argv[0], {}).paths.programFolder);
        return 2;
    }
    CommandLine line = std::get<CommandLine>(parsed);
    if (const auto error = applyModemCheckEnvironment(line, std::getenv("KARUNE_MODEM_CHECK"))) {
        std::cerr << argv[0] << ": " << error->message << "\n";
        return 2;
    }
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
        case RunMode::InstallService:
            return runInstallService(line, runningProgram(argv[0]));
        case RunMode::UninstallService:
            return runUninstallService(line.serviceName);
        case RunMode::Service:
            // Under the service manager first: what keeps the service from running goes to its
            // status, its log and the event log, where an administrator looks.
            return runService(startup);
        case RunMode::Window:
            if (!displayAvailable()) {
                refusal.write(
                    Severity::Error,
                    program + ": no display found for the window; --headless runs without one");
                return 2;
            }
            break;
        default:
            break;
    }
    if (refusedPortMappings(line, refusal, argc, argv))
        return 2;
    if (const std::string error = prepareHomeFolder(startup.home); !error.empty()) {
        refusal.write(Severity::Error, program + ": " + error);
        return 1;
    }
    // Before any file of the home is touched: two programs would share one Back.txt.
    const HomeLock lock(startup.paths.programFolder);
    if (const std::string text = homeLockRefusal(lock, startup.paths.programFolder);
        !text.empty()) {
        refusal.write(Severity::Error, program + ": " + text);
        if (line.mode == RunMode::Window)
            showStartupRefusal(argc, argv, text);
        return 1;
    }
    return run(line, startup, argc, argv);
}
