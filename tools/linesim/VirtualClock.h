#pragma once

#include "link/Clock.h"

namespace karune::sim {

// A clock that only moves when told to: by sleepUntil(), or by a simulated line that waits for
// its next byte. Wall-clock texts are the start date and time plus the virtual time elapsed.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(LocalDateTime start = {2007, 6, 6, 9, 15, 0});

    TimePoint now() const override { return now_; }
    LocalDateTime localNow() const override;
    void sleepUntil(TimePoint deadline) override { advanceTo(deadline); }

    void advanceTo(TimePoint t) {
        if (t > now_)
            now_ = t;
    }
    void advanceBy(Duration d) { advanceTo(now_ + d); }
    Duration elapsed() const { return now_ - TimePoint{}; }

private:
    LocalDateTime start_;
    TimePoint now_{};
};

}  // namespace karune::sim
