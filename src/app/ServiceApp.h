#pragma once

#include <filesystem>
#include <string>

#include "app/CommandLine.h"
#include "app/Startup.h"

namespace karune {

// The service-specific exit code of a service whose home folder cannot be used (missing, not
// writable, held by another program).
inline constexpr int kServiceHomeRefused = 2;

// The program as a Windows service (--service): reception as --headless runs it, under the service
// control manager, which is reached before anything else so that every failure shows in the
// service's status. Stop, shutdown and pre-shutdown act as the stop button. Reception that ends by
// itself (a pulled adapter, a port or modem error) stops the service with service-specific exit
// code 1, a home that cannot be used with kServiceHomeRefused, so that the service's recovery
// actions start it again. What --headless prints goes to karune-modem.log in the home folder, each
// line with its time, the file kept to a bounded size: a service has no console, and the log sits
// beside the settings and the back-up of its own line, one per service. Errors, warnings and the
// lines at start and end go to the event log as well.
// Returns the process's exit status; 2 when the service manager did not start the program.
int runService(const Startup& startup);

// --install-service NAME --home DIR [--port-map COMn=DEVICE]: creates the Windows service of one
// line for `program` (see installService()). Exit status 0 when it is complete, 1 when it could
// not be created or lacks a part, 2 where there is no Windows service manager.
int runInstallService(const CommandLine& line, const std::filesystem::path& program);

// --uninstall-service NAME: stops and removes it. Exit status as runInstallService().
int runUninstallService(const std::string& name);

}  // namespace karune
