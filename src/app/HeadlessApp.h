#pragma once

#include <atomic>
#include <ostream>

#include "app/Startup.h"
#include "session/StopTarget.h"

namespace karune {

// The program without a window: the same start-up, reception started at once, status and error
// texts on standard output, messages on standard error.
// Exit status: with automatic start off, 0 when the call's transfer completed and 1 otherwise;
// with automatic start on, it serves calls until SIGTERM or SIGINT and then exits 0.
int runHeadless(const Startup& startup);

// Reception without a window, as runHeadless() runs it: status and error texts on `out`, messages
// on `err`. Stop requests reach it through `target`; `stopRequested` tells one that came before
// reception was attached. Returns runHeadless()'s exit status.
int serveHeadless(const Startup& startup, std::ostream& out, std::ostream& err, StopTarget& target,
                  const std::atomic<bool>& stopRequested);

}  // namespace karune
