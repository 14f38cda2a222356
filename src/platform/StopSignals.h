#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace karune {

// Turns SIGTERM and SIGINT into a call of `onStop` on a thread of its own, so that a service
// manager or Ctrl-C stops reception the way the stop button does.
//
// Construct it before any other thread exists: it blocks the two signals for the whole process,
// and threads started afterwards inherit that. The destructor ends the watching thread.
class StopSignals {
public:
    explicit StopSignals(std::function<void()> onStop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // True once a stop signal has arrived.
    bool received() const { return received_; }

private:
    std::function<void()> onStop_;
    std::thread watcher_;
    std::atomic<bool> received_{false};
};

}  // namespace karune
