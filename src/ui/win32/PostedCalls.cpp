#include "ui/win32/PostedCalls.h"

#include <utility>

namespace karune::ui {

void PostedCalls::attach(HWND window) {
    const std::lock_guard lock(mutex_);
    window_ = window;
    wakePosted_ = false;
    if (window == nullptr) {
        detached_ = true;
        calls_.clear();
        return;
    }
    wakeLocked();
}

void PostedCalls::post(std::function<void()> call) {
    const std::lock_guard lock(mutex_);
    if (detached_)
        return;
    calls_.push_back(std::move(call));
    wakeLocked();
}

void PostedCalls::wakeLocked() {
    if (window_ == nullptr || wakePosted_ || calls_.empty())
        return;
    wakePosted_ = PostMessageW(window_, kRunMessage, 0, 0) != 0;
}

void PostedCalls::runOne() {
    std::function<void()> call;
    {
        const std::lock_guard lock(mutex_);
        wakePosted_ = false;
        if (calls_.empty())
            return;
        call = std::move(calls_.front());
        calls_.pop_front();
        wakeLocked();
    }
    call();
}

}  // namespace karune::ui
