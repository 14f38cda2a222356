#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

namespace karune::ui {

// Calls made on any thread that run on the window's thread, in the order they were posted. Each
// posted message runs one call, so a message box opened by one call does not hold up the next:
// its modal loop runs them.
class PostedCalls {
public:
    static constexpr UINT kRunMessage = WM_APP + 1;

    // On the window's thread: from now on calls wake `window` with kRunMessage; calls posted
    // before wait for this. A null window drops the calls still queued and takes no more.
    void attach(HWND window);
    void post(std::function<void()> call);
    // The window's kRunMessage handler.
    void runOne();

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> calls_;
    HWND window_ = nullptr;
    bool detached_ = false;
    bool wakePosted_ = false;

    void wakeLocked();
};

}  // namespace karune::ui
