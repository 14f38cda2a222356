#pragma once

#include "link/Clock.h"

namespace karune {

// The machine's clocks: the monotonic clock for waits and deadlines, the local wall clock for the
// texts.
class SystemClock : public Clock {
public:
    TimePoint now() const override;
    LocalDateTime localNow() const override;
    void sleepUntil(TimePoint deadline) override;
};

}  // namespace karune
