#pragma once

#include <functional>
#include <memory>

namespace karune {

// Turns the system's requests to end the program into a call of `onStop` on a thread other than
// the caller's, so that a service manager, Ctrl+C or a closed console stops reception the way the
// stop button does. On POSIX systems these are SIGTERM and SIGINT; on Windows Ctrl+C, Ctrl+Break,
// closing the console, logging off and shutting down.
//
// Construct it before any other thread exists: on POSIX systems it blocks the two signals for the
// whole process, and threads started afterwards inherit that. At most one exists at a time. The
// destructor ends the watching.
//
// On Windows the end of the user's session is asked first: `callInProgress` (any thread; empty
// for never) lets Windows show the user why the program would rather not be ended then; the stop
// comes only when the session really ends.
class StopSignals {
public:
    explicit StopSignals(std::function<void()> onStop, std::function<bool()> callInProgress = {});
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // True once a stop request has arrived.
    bool received() const;

private:
    struct Watch;
    std::unique_ptr<Watch> watch_;
};

}  // namespace karune
