#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace karune {

enum class RunMode {
    Window,
    Headless,
    Service,
    Convert,
    ShowSettings,
    SetSettings,
    InstallService,
    UninstallService,
    Version,
    Help
};

struct CommandLine {
    RunMode mode = RunMode::Window;
    std::optional<std::filesystem::path> home;  // --home DIR: replaces the program folder
    std::filesystem::path convertOutput;        // --convert OUTPUT
    std::filesystem::path convertBackup;        // --convert OUTPUT BACKUP: a kept back-up
    std::vector<std::string> assignments;       // --set NAME=VALUE ...
    // --modem-check SECONDS, else KARUNE_MODEM_CHECK: the call wait's quiet spell before the
    // modem is asked "AT"; 0 never asks.
    std::optional<std::chrono::seconds> modemCheck;
    std::string serviceName;             // --install-service NAME, --uninstall-service NAME
    std::optional<std::string> portMap;  // --port-map COMn=DEVICE: "KARUNE_COMn=DEVICE"
};

struct CommandLineError {
    std::string message;
};

// Every option the program does not know is refused, and so are two modes (--headless,
// --convert, --settings, --set, --install-service, --uninstall-service) on one line and a second
// --home: a typing error must not start a service with other settings than the administrator
// meant. --install-service needs --home; --port-map goes with it alone and names one of COM1 to
// COM8 and a device. --help and --version answer at once.
std::variant<CommandLine, CommandLineError> parseCommandLine(const std::vector<std::string>& args);

// KARUNE_MODEM_CHECK's `value` (null when it is not set) for a command line without
// --modem-check; an error when it is not a number of seconds.
std::optional<CommandLineError> applyModemCheckEnvironment(CommandLine& line, const char* value);

// `homeFolder` is the home folder the given options lead to.
std::string usageText(const std::string& program, const std::filesystem::path& homeFolder);

// "karune-modem" and the version, one line.
std::string versionText();

}  // namespace karune
