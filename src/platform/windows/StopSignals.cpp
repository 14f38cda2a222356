#include "platform/StopSignals.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

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

// Windows ends the process as soon as the handler of these returns (or after about five seconds):
// the handler waits for the program to finish its call first.
bool processEndsAfterHandler(DWORD event) {
    return event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
}

BOOL WINAPI onConsoleEvent(DWORD event) {
    std::unique_lock lock(activeLock);
    if (active == nullptr)
        return FALSE;
    active->received = true;
    active->onStop();
    if (processEndsAfterHandler(event))
        activeGone.wait_for(lock, std::chrono::milliseconds(4500),
                            [] { return active == nullptr; });
    return TRUE;
}

}  // namespace

struct StopSignals::Watch : ConsoleStop {};

StopSignals::StopSignals(std::function<void()> onStop) : watch_(std::make_unique<Watch>()) {
    watch_->onStop = std::move(onStop);
    {
        const std::lock_guard lock(activeLock);
        active = watch_.get();
    }
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignals::~StopSignals() {
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    {
        const std::lock_guard lock(activeLock);
        active = nullptr;
    }
    activeGone.notify_all();
}

bool StopSignals::received() const {
    return watch_->received;
}

}  // namespace karune
