#pragma once

#include "app/Startup.h"

namespace karune {

// The program without a window: the same start-up, reception started at once, status and error
// texts on standard output, messages on standard error.
// Exit status: with automatic start off, 0 when the call's transfer completed and 1 otherwise;
// with automatic start on, it serves calls until SIGTERM or SIGINT and then exits 0.
int runHeadless(const Startup& startup);

}  // namespace karune
