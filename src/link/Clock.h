#pragma once

#include <chrono>
#include <string>

namespace karune {

// The local calendar time as the program's texts use it.
struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Time source of the link layer and the session. Production code uses the system clocks; tests
// drive a virtual clock so that a ten-minute time-out costs nothing.
//
// Contract: now() never goes backwards; localNow() is the wall-clock time that belongs to now();
// sleepUntil() returns at or after the deadline and may be called from the session thread only.
class Clock {
public:
    using Duration = std::chrono::nanoseconds;
    using TimePoint = std::chrono::time_point<std::chrono::steady_clock, Duration>;

    virtual ~Clock() = default;

    virtual TimePoint now() const = 0;
    virtual LocalDateTime localNow() const = 0;
    virtual void sleepUntil(TimePoint deadline) = 0;

    void sleepFor(Duration d) { sleepUntil(now() + d); }
};

// "yyyy-mm-dd", the date text of every file name, log line and message.
std::string dateText(const LocalDateTime& t);
// "hh:mm:ss", 24-hour.
std::string timeText(const LocalDateTime& t);
// Date text, "-", time text: the stamp in front of every error message.
std::string timeStamp(const LocalDateTime& t);

}  // namespace karune
