#include "platform/SystemClock.h"

#include <windows.h>

#include <thread>

namespace karune {

Clock::TimePoint SystemClock::now() const {
    return std::chrono::time_point_cast<Duration>(std::chrono::steady_clock::now());
}

// From the system rather than the C runtime, whose localtime() does not understand the TZ names
// a POSIX-minded environment may carry.
LocalDateTime SystemClock::localNow() const {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

void SystemClock::sleepUntil(TimePoint deadline) {
    std::this_thread::sleep_until(deadline);
}

}  // namespace karune
