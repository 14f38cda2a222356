#include "platform/StopSignals.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/windows/EndSessionWindow.h"

namespace karune {
namespace {

struct ConsoleStop {
    std::function<void()> onStop;
    std::atomic<bool> received{false};
};

// The console calls its handler with nothing but the event, so the handler finds the one active
// watch here; the lock keeps a destructor from freeing it while a handler uses it.
std::mutex activeLock;
std::condition_variable activeGone;
ConsoleStop* active = nullptr;

// How long Windows is kept from ending the process while the call in progress closes: the console
// ends it about five seconds after the event anyway.
constexpr std::chrono::milliseconds kConsoleClosingTime{4500};
// Windows lists a program that takes longer to end the session with its reason and lets the user
// end it.
constexpr std::chrono::milliseconds kSessionClosingTime{20000};

// Stops reception; when Windows ends the process as soon as the caller returns, first waits,
// bounded, for the program to finish its call. False when no watch is active.
bool stopRequested(std::chrono::milliseconds closingTime) {
    std::unique_lock lock(activeLock);
    if (active == nullptr)
        return false;
    active->received = true;
    active->onStop();
    activeGone.wait_for(lock, closingTime, [] { return active == nullptr; });
    return true;
}

// Windows ends the process as soon as the handler of these returns (or after about five seconds).
bool processEndsAfterHandler(DWORD event) {
    return event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
}

BOOL WINAPI onConsoleEvent(DWORD event) {
    return stopRequested(processEndsAfterHandler(event) ? kConsoleClosingTime
                                                        : std::chrono::milliseconds(0));
}

}  // namespace

struct StopSignals::Watch : ConsoleStop {
    // A program with user32 hears of logoff and shutdown only through a top-level window.
    std::unique_ptr<EndSessionWindow> endSession;
};

StopSignals::StopSignals(std::function<void()> onStop, std::function<bool()> callInProgress)
    : watch_(std::make_unique<Watch>()) {
    watch_->onStop = std::move(onStop);
    {
        const std::lock_guard lock(activeLock);
        active = watch_.get();
    }
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    watch_->endSession = std::make_unique<EndSessionWindow>(
        [busy = std::move(callInProgress)] { return busy && busy(); },
        [] { stopRequested(kSessionClosingTime); });
}

StopSignals::~StopSignals() {
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    {
        const std::lock_guard lock(activeLock);
        active = nullptr;
    }
    activeGone.notify_all();
    watch_->endSession.reset();
}

bool StopSignals::received() const {
    return watch_->received;
}

}  // namespace karune
