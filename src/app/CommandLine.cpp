#include "app/CommandLine.h"

#include "config/Utf8Path.h"

namespace karune {

std::variant<CommandLine, CommandLineError> parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 == args.size())
                return std::nullopt;
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            line.mode = RunMode::Help;
            return line;
        }
        if (arg == "--version") {
            line.mode = RunMode::Version;
            return line;
        }
        if (arg == "--headless") {
            line.mode = RunMode::Headless;
        } else if (arg == "--service") {
            line.mode = RunMode::Service;
        } else if (arg == "--settings") {
            line.mode = RunMode::ShowSettings;
        } else if (arg == "--set") {
            line.mode = RunMode::SetSettings;
            while (i + 1 < args.size() && !args[i + 1].starts_with("--"))
                line.assignments.push_back(args[++i]);
            if (line.assignments.empty())
                return CommandLineError{"--set needs NAME=VALUE"};
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
            return CommandLineError{"unknown option '" + arg + "'"};
        }
    }
    return line;
}

std::string usageText(const std::string& program, const std::filesystem::path& homeFolder) {
    return "usage: " + program +
           " [--home DIR] [--headless | --service | --convert OUTPUT | --settings | --set "
           "NAME=VALUE...]\n"
           "  (no option)        open the window\n"
           "  --headless         no window: start reception at once, report on standard output;\n"
           "                     SIGTERM or SIGINT stops it like the stop button\n"
           "  --service          as --headless, run by Windows' service control manager; the\n"
           "                     output goes to karune-modem.log in the home folder\n"
           "  --convert OUTPUT   convert the back-up file into OUTPUT with the current settings\n"
           "  --settings         print the settings as NAME=VALUE lines\n"
           "  --set NAME=VALUE   change settings (names as --settings prints them) and save them\n"
           "  --home DIR         keep the settings file and the back-up file in DIR\n"
           "  --version          print the version\n"
           "home folder: " +
           utf8FromPath(homeFolder) + "\n";
}

std::string versionText() {
    return "karune-modem " KARUNE_VERSION "\n";
}

}  // namespace karune
