#pragma once

#include "app/Startup.h"

namespace karune {

// The program as a Windows service (--service): reception as --headless runs it, under the service
// control manager. Stop, shutdown and pre-shutdown act as the stop button. Reception that ends by
// itself (a pulled adapter, a port or modem error) stops the service with service-specific exit
// code 1, so that the service's recovery actions start it again. What --headless prints goes to
// karune-modem.log in the home folder: a service has no console, and the log sits beside the
// settings and the back-up of its own line, one per service.
// Returns the process's exit status; 2 when the service manager did not start the program.
int runService(const Startup& startup);

}  // namespace karune
