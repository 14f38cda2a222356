#include "linesim/VirtualClock.h"

#include <chrono>

namespace karune::sim {

VirtualClock::VirtualClock(LocalDateTime start) : start_(start) {}

LocalDateTime VirtualClock::localNow() const {
    using namespace std::chrono;
    const sys_days startDay = year{start_.year} / month{static_cast<unsigned>(start_.month)} /
                              day{static_cast<unsigned>(start_.day)};
    const sys_seconds startTime =
        startDay + hours{start_.hour} + minutes{start_.minute} + seconds{start_.second};
    const sys_seconds t = startTime + duration_cast<seconds>(elapsed());
    const sys_days d = floor<days>(t);
    const year_month_day ymd{d};
    const hh_mm_ss hms{t - d};
    return {static_cast<int>(ymd.year()),
            static_cast<int>(unsigned(ymd.month())),
            static_cast<int>(unsigned(ymd.day())),
            static_cast<int>(hms.hours().count()),
            static_cast<int>(hms.minutes().count()),
            static_cast<int>(hms.seconds().count())};
}

}  // namespace karune::sim
