#pragma once

#include <atomic>

#include "app/Startup.h"
#include "platform/LogSink.h"
#include "session/StopTarget.h"

namespace karune {

// The program without a window: the same start-up, reception started at once, status and error
// texts on standard output, messages and the lines of its start and end on standard error (with
// the journal's priorities when that is where they go).
// Exit status: with automatic start off, 0 when the call's transfer completed and 1 otherwise;
// with automatic start on, it serves calls until SIGTERM or SIGINT and then exits 0.
int runHeadless(const Startup& startup);

// Reception without a window, as runHeadless() runs it: status and error texts go to `out`;
// messages, a notice at the start (version, home, port and its mapping) and one at the end (why)
// to `err`. Stop requests reach it through `target`; `stopRequested` tells one that came before
// reception was attached. Returns runHeadless()'s exit status.
int serveHeadless(const Startup& startup, LogSink& out, LogSink& err, StopTarget& target,
                  const std::atomic<bool>& stopRequested);

}  // namespace karune
