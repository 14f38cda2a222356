#include "app/CommandLine.h"

#include <charconv>

#include "config/Utf8Path.h"
#include "platform/PortNames.h"

namespace karune {
namespace {

constexpr std::chrono::seconds kLongestModemCheck = std::chrono::hours(24);

// A whole number of seconds from 0 to a day, or nullopt.
std::optional<std::chrono::seconds> modemCheckSeconds(const std::string& text) {
    long long value = -1;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || value < 0 || value > kLongestModemCheck.count())
        return std::nullopt;
    return std::chrono::seconds(value);
}

std::string modemCheckProblem(const std::string& source, const std::string& text) {
    return source + " expects seconds from 0 to " + std::to_string(kLongestModemCheck.count()) +
           ", got '" + text + "'";
}

// "COM1=COM12" as the variable that maps the port, "KARUNE_COM1=COM12"; empty when it is not of
// that form. The device is passed on as written: whatever KARUNE_COMn accepts.
std::string portMapVariable(const std::string& map) {
    const std::size_t equals = map.find('=');
    if (!map.starts_with("COM") || equals != 4 || equals + 1 == map.size())
        return {};
    const int port = map[3] - '0';
    if (port < kFirstPort || port > kLastPort)
        return {};
    return portEnvironmentName(port) + map.substr(equals);
}

}  // namespace

std::variant<CommandLine, CommandLineError> parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    std::string modeOption;  // the option that chose line.mode
    // One mode a run: of two, one would be dropped without a word.
    auto chooseMode = [&](RunMode mode,
                          const std::string& option) -> std::optional<CommandLineError> {
        if (!modeOption.empty())
            return CommandLineError{modeOption + " and " + option + " do not go together"};
        modeOption = option;
        line.mode = mode;
        return std::nullopt;
    };
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
        std::optional<CommandLineError> refused;
        if (arg == "--headless") {
            refused = chooseMode(RunMode::Headless, arg);
        } else if (arg == "--service") {
            refused = chooseMode(RunMode::Service, arg);
        } else if (arg == "--settings") {
            refused = chooseMode(RunMode::ShowSettings, arg);
        } else if (arg == "--set") {
            refused = chooseMode(RunMode::SetSettings, arg);
            while (i + 1 < args.size() && !args[i + 1].starts_with("--"))
                line.assignments.push_back(args[++i]);
            if (line.assignments.empty())
                return CommandLineError{"--set needs NAME=VALUE"};
        } else if (arg == "--home") {
            auto dir = value();
            if (!dir || dir->empty())
                return CommandLineError{"--home needs a folder"};
            if (line.home)
                return CommandLineError{"--home is given twice"};
            line.home = pathFromUtf8(*dir);
        } else if (arg == "--modem-check") {
            const std::optional<std::string> text = value();
            line.modemCheck = modemCheckSeconds(text.value_or(""));
            if (!line.modemCheck)
                return CommandLineError{modemCheckProblem(arg, text.value_or(""))};
        } else if (arg == "--install-service" || arg == "--uninstall-service") {
            refused = chooseMode(
                arg == "--install-service" ? RunMode::InstallService : RunMode::UninstallService,
                arg);
            auto name = value();
            if (!name || name->empty() || name->starts_with("--"))
                return CommandLineError{arg + " needs the service's name"};
            line.serviceName = *name;
        } else if (arg == "--port-map") {
            auto map = value();
            if (!map)
                return CommandLineError{"--port-map needs COMn=DEVICE"};
            if (line.portMap)
                return CommandLineError{"--port-map is given twice"};
            line.portMap = portMapVariable(*map);
            if (line.portMap->empty())
                return CommandLineError{"--port-map " + *map + ": not COMn=DEVICE with n from " +
                                        std::to_string(kFirstPort) + " to " +
                                        std::to_string(kLastPort)};
        } else if (arg == "--convert") {
            refused = chooseMode(RunMode::Convert, arg);
            auto output = value();
            if (!output || output->empty())
                return CommandLineError{"--convert needs an output file"};
            line.convertOutput = pathFromUtf8(*output);
            if (i + 1 < args.size() && !args[i + 1].starts_with("--"))
                line.convertBackup = pathFromUtf8(args[++i]);
        } else {
            return CommandLineError{"unknown option '" + arg + "'"};
        }
        if (refused)
            return *refused;
    }
    if (line.mode == RunMode::InstallService && !line.home)
        return CommandLineError{
            "--install-service needs --home DIR: each line's service has a "
            "home of its own"};
    if (line.portMap && line.mode != RunMode::InstallService)
        return CommandLineError{"--port-map goes with --install-service"};
    return line;
}

std::optional<CommandLineError> applyModemCheckEnvironment(CommandLine& line, const char* value) {
    if (line.modemCheck || value == nullptr)
        return std::nullopt;
    line.modemCheck = modemCheckSeconds(value);
    if (!line.modemCheck)
        return CommandLineError{modemCheckProblem("KARUNE_MODEM_CHECK", value)};
    return std::nullopt;
}

std::string usageText(const std::string& program, const std::filesystem::path& homeFolder) {
    return "usage: " + program +
           " [--home DIR] [--modem-check SECONDS] [--headless | --service | --convert OUTPUT "
           "[BACKUP] | --settings | --set NAME=VALUE... | --install-service NAME [--port-map "
           "COMn=DEVICE] | --uninstall-service NAME]\n"
           "  (no option)        open the window\n"
           "  --headless         no window: start reception at once, report on standard output;\n"
           "                     SIGTERM or SIGINT stops it like the stop button\n"
           "  --service          as --headless, run by Windows' service control manager; the\n"
           "                     output goes to karune-modem.log in the home folder\n"
           "  --convert OUTPUT   convert the back-up file into OUTPUT with the current settings\n"
           "    [BACKUP]         or a kept back-up (Back-yyyymmdd-hhmmss.txt), removed once done\n"
           "  --settings         print the settings as NAME=VALUE lines\n"
           "  --set NAME=VALUE   change settings (names as --settings prints them) and save them\n"
           "  --home DIR         keep the settings file and the back-up file in DIR\n"
           "  --modem-check S    while waiting for a call, ask the modem \"AT\" after S quiet\n"
           "                     seconds (default 600, or KARUNE_MODEM_CHECK; 0: never)\n"
           "  --install-service NAME   create the Windows service NAME that runs --service with\n"
           "    [--port-map COMn=DEVICE]  this --home, restarted after a failure, with\n"
           "                     KARUNE_COMn=DEVICE in its environment (an administrator's "
           "console)\n"
           "  --uninstall-service NAME   stop and remove that service\n"
           "  --version          print the version\n"
           "home folder: " +
           utf8FromPath(homeFolder) + "\n";
}

std::string versionText() {
    return "karune-modem " KARUNE_VERSION "\n";
}

}  // namespace karune
