#include "app/CommandLine.h"

#include "config/Utf8Path.h"

namespace karune {

std::variant<CommandLine, CommandLineError> parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool foreign = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 == args.size())
                return std::nullopt;
            return args[++i];
        };
        if (arg == "--help" || arg == "-h")
            return CommandLineError{};
        if (arg == "--headless") {
            line.mode = RunMode::Headless;
        } else if (arg == "--home") {
            auto dir = value();
            if (!dir || dir->empty())
                return CommandLineError{"--home needs a folder"};
            line.home = pathFromUtf8(*dir);
        } else if (arg == "--convert") {
            auto output = value();
            if (!output || output->empty())
                return CommandLineError{"--convert needs an output file"};
            line.mode = RunMode::Convert;
            line.convertOutput = pathFromUtf8(*output);
        } else {
            foreign = true;
        }
    }
    if (foreign && line.mode != RunMode::Window)
        return CommandLineError{"unknown option with --headless or --convert"};
    return line;
}

std::string usageText(const std::string& program) {
    return "usage: " + program +
           " [--home DIR] [--headless | --convert OUTPUT]\n"
           "  (no option)        open the window\n"
           "  --headless         no window: start reception at once, report on standard output;\n"
           "                     SIGTERM or SIGINT stops it like the stop button\n"
           "  --convert OUTPUT   convert the back-up file into OUTPUT with the current settings\n"
           "  --home DIR         keep the settings file and the back-up file in DIR instead of\n"
           "                     the program's folder\n";
}

}  // namespace karune
