#pragma once

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "session/CommSession.h"

namespace karune {

// Runs CommSession on a worker thread, one session at a time.
//
// start() is the start action: it sets the flags and runs a session with a snapshot of the
// settings. A start that comes while a stopped session is still winding down (its closing
// sequence) is remembered and runs as soon as that session has returned. stop() is the stop
// action and returns at once. `onFinished` is called on the worker thread each time a session
// returns with no start pending (the window uses it to learn that reception is idle).
// SessionServices::sleep is held from the start of a session until reception is idle.
//
// All member functions may be called from any thread; the destructor stops reception and waits
// for the worker.
class Reception {
public:
    Reception(SessionServices services, std::filesystem::path backFile,
              std::function<void()> onFinished = {});
    ~Reception();
    Reception(const Reception&) = delete;
    Reception& operator=(const Reception&) = delete;

    // `clearStopPressed` is false for the automatic start at program start-up, which leaves the
    // stop flag to the session.
    void start(const Settings& snapshot, bool clearStopPressed = true);
    void stop();

    // True from start() until the last session has returned.
    bool active() const;
    // Blocks until no session runs and none is pending.
    void waitUntilIdle();
    // True when the last session that returned ended its last cycle with a completed transfer.
    bool lastTransferCompleted() const;

    SessionFlags& flags() { return flags_; }

private:
    void workerLoop();

    SessionServices services_;
    std::filesystem::path backFile_;
    std::function<void()> onFinished_;
    SessionFlags flags_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Settings> pending_;
    bool sessionRunning_ = false;
    bool quit_ = false;
    bool lastTransferCompleted_ = false;
    WindowFields windowFields_;  // the worker's alone
    std::thread worker_;
};

}  // namespace karune
