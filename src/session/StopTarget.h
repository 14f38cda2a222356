#pragma once

#include <functional>
#include <mutex>

#include "session/Reception.h"

namespace karune {

// The reception that stop requests from another thread (the signal watcher) act on. A request
// runs under a lock; the reception is attached for as long as it lives, and once its attachment
// has gone (which waits for a request in progress) requests do nothing at all, so none reaches a
// runner that is being destroyed, or a program that is shutting down.
class StopTarget {
public:
    // Declare it right after the reception, so that it goes first on every way out.
    class [[nodiscard]] Attachment {
    public:
        Attachment(StopTarget& target, Reception& reception) : target_(target) {
            std::lock_guard lock(target_.mutex_);
            target_.reception_ = &reception;
        }
        ~Attachment() {
            std::lock_guard lock(target_.mutex_);
            target_.reception_ = nullptr;
            target_.closed_ = true;
        }
        Attachment(const Attachment&) = delete;
        Attachment& operator=(const Attachment&) = delete;

    private:
        StopTarget& target_;
    };

    // Runs `action` with the attached reception, or with null before one is attached; nothing
    // once the attachment has gone.
    void request(const std::function<void(Reception*)>& action) {
        std::lock_guard lock(mutex_);
        if (!closed_)
            action(reception_);
    }

private:
    std::mutex mutex_;
    Reception* reception_ = nullptr;
    bool closed_ = false;
};

}  // namespace karune
