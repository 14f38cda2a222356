// KARUNE_MODEM: answers modem calls from handheld terminals and stores their uploads.
#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "app/CommandLine.h"
#include "app/ConvertCommand.h"
#include "app/HeadlessApp.h"
#include "app/Startup.h"
#include "app/WindowApp.h"
#include "platform/ProgramEnvironment.h"

int main(int argc, char** argv) {
    using namespace karune;
    useBinaryConsole();
    const std::vector<std::string> args = programArguments(argc, argv);
    const auto parsed = parseCommandLine(args);
    if (const auto* error = std::get_if<CommandLineError>(&parsed)) {
        if (!error->message.empty())
            std::cerr << argv[0] << ": " << error->message << "\n";
        std::cerr << usageText(argv[0]);
        return error->message.empty() ? 0 : 2;
    }
    const CommandLine& line = std::get<CommandLine>(parsed);
    const Startup startup = discoverStartup(argv[0], line);
    switch (line.mode) {
        case RunMode::Headless:
            return runHeadless(startup);
        case RunMode::Convert:
            return runConvert(startup, line.convertOutput);
        case RunMode::Window:
            break;
    }
    return runWindow(argc, argv, startup);
}
