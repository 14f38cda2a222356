#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

namespace karune {

// Holds a home folder for this process, so that a second program on the same settings file and
// back-up file refuses to start. The operating system drops the hold when the process ends in any
// way (a crash, SIGKILL), so no stale lock can outlive it.
class HomeLock {
public:
    // StillHeld: a program that has just ended is still releasing the folder (Windows).
    enum class Outcome { Held, HeldByAnother, StillHeld, Failed };

    // Does not wait for another holder; creates nothing in the folder on Linux. On Windows a hold
    // that its ending program is still releasing is tried again for up to `patience`.
    explicit HomeLock(const std::filesystem::path& folder,
                      std::chrono::milliseconds patience = std::chrono::seconds(3));
    ~HomeLock();
    HomeLock(const HomeLock&) = delete;
    HomeLock& operator=(const HomeLock&) = delete;

    Outcome outcome() const { return outcome_; }
    // Why the folder could not be held, when outcome() is Failed.
    const std::string& error() const { return error_; }

private:
    std::intptr_t handle_ = -1;
    Outcome outcome_ = Outcome::Failed;
    std::string error_;
};

}  // namespace karune
