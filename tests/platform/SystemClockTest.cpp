#include <gtest/gtest.h>

#include <ctime>

#include "platform/SystemClock.h"

namespace karune {
namespace {

using namespace std::chrono_literals;

TEST(SystemClock, SleepEndsAtOrAfterItsDeadline) {
    SystemClock clock;
    for (const auto wait : {0ms, 5ms, 30ms}) {
        const Clock::TimePoint deadline = clock.now() + wait;
        clock.sleepUntil(deadline);
        EXPECT_GE(clock.now(), deadline);
    }
}

TEST(SystemClock, LocalTimeIsTheWallClock) {
    SystemClock clock;
    const std::time_t before = std::time(nullptr);
    const LocalDateTime t = clock.localNow();
    const std::time_t after = std::time(nullptr);

    std::tm fields{};
    fields.tm_year = t.year - 1900;
    fields.tm_mon = t.month - 1;
    fields.tm_mday = t.day;
    fields.tm_hour = t.hour;
    fields.tm_min = t.minute;
    fields.tm_sec = t.second;
    fields.tm_isdst = -1;
    const std::time_t seen = std::mktime(&fields);
    EXPECT_GE(seen, before);
    EXPECT_LE(seen, after);
}

}  // namespace
}  // namespace karune
