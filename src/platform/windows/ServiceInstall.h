#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace karune {

// One line's service as --install-service creates it.
struct ServiceDefinition {
    std::string name;                        // UTF-8
    std::filesystem::path program;           // karune-modem.exe
    std::filesystem::path home;              // absolute
    std::optional<std::string> environment;  // "KARUNE_COM1=COM12": the line's port mapping
};

struct ServiceInstallResult {
    bool created = false;
    // Why the service was not created, or what of it could not be set; empty when all is done.
    std::string problem;
};

// Creates the service, started automatically as LocalSystem, running
// "PROGRAM" --service --home "HOME" with `environment` in its environment, and with the recovery
// actions of a line: restart after 10 s, 10 s and 60 s, the count reset after a day, also when it
// stops with an exit code (the failure-actions flag). A service that could not be completed is
// removed again, but for the failure-actions flag, which some systems (Wine) refuse: then the
// service stays, created, and the problem says what is missing.
ServiceInstallResult installService(const ServiceDefinition& service);

// Asks the service `name` to stop and marks it for removal, which the service manager completes
// once it has stopped. Refuses a service that does not run "... --service --home ...". Empty on
// success, else why not.
std::string uninstallService(const std::string& name);

// The command line the service manager runs: each part as CommandLineToArgvW reads it back.
std::wstring serviceCommandLine(const std::filesystem::path& program,
                                const std::filesystem::path& home);

}  // namespace karune
