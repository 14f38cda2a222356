#include "session/Reception.h"

#include <utility>

namespace karune {

Reception::Reception(SessionServices services, std::filesystem::path backFile,
                     std::function<void()> onFinished)
    : services_(services), backFile_(std::move(backFile)), onFinished_(std::move(onFinished)) {
    worker_ = std::thread([this] { workerLoop(); });
}

Reception::~Reception() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        pending_.reset();
        flags_.requestStop();
    }
    changed_.notify_all();
    worker_.join();
}

void Reception::start(const Settings& snapshot, bool clearStopPressed) {
    {
        std::lock_guard lock(mutex_);
        if (quit_)
            return;
        // A session that has not been stopped is still serving: nothing to start.
        if (sessionRunning_ && flags_.running)
            return;
        // A session winding down still reads the stop flag for its report; it is cleared when the
        // deferred session starts its first cycle.
        if (!sessionRunning_ && clearStopPressed)
            flags_.stopPressed = false;
        pending_ = snapshot;
    }
    changed_.notify_all();
}

void Reception::stop() {
    {
        std::lock_guard lock(mutex_);
        pending_.reset();
        flags_.requestStop();
    }
    changed_.notify_all();
}

bool Reception::active() const {
    std::lock_guard lock(mutex_);
    return sessionRunning_ || pending_.has_value();
}

void Reception::waitUntilIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !sessionRunning_ && !pending_.has_value(); });
}

bool Reception::lastTransferCompleted() const {
    std::lock_guard lock(mutex_);
    return lastTransferCompleted_;
}

void Reception::workerLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return quit_ || pending_.has_value(); });
        if (quit_)
            return;

        Settings snapshot = std::move(*pending_);
        pending_.reset();
        sessionRunning_ = true;
        // Set under the lock, so that a stop() cannot fall between taking the start and running.
        flags_.running = true;
        lock.unlock();

        services_.sleep.hold();
        // A start that waited for a stopped session has seen that session switch the buttons to
        // idle on its way out: show the running mode again for the one that starts now.
        services_.display.setCommButtons(1);
        CommSession session(services_, flags_, std::move(snapshot), backFile_, windowFields_);
        session.run();

        lock.lock();
        sessionRunning_ = false;
        lastTransferCompleted_ = session.lastCycleCompleted();
        windowFields_ = session.windowFields();
        const bool idle = !pending_.has_value();
        // Before anyone learns that reception is idle; a remembered start keeps the hold.
        if (idle)
            services_.sleep.release();
        changed_.notify_all();
        if (idle && onFinished_) {
            lock.unlock();
            onFinished_();
            lock.lock();
        }
    }
}

}  // namespace karune
