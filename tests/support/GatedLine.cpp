#include "support/GatedLine.h"

namespace karune::test {

std::string GatedLine::readUntil(Clock::TimePoint deadline) {
    {
        std::unique_lock lock(mutex_);
        ++arrivals_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_ || allowed_ > 0; });
        if (!open_)
            --allowed_;
    }
    return inner_.readUntil(deadline);
}

void GatedLine::allow(int reads) {
    {
        std::lock_guard lock(mutex_);
        allowed_ += reads;
    }
    changed_.notify_all();
}

void GatedLine::open() {
    {
        std::lock_guard lock(mutex_);
        open_ = true;
    }
    changed_.notify_all();
}

void GatedLine::waitForArrivals(int total) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return arrivals_ >= total; });
}

int GatedLine::arrivals() const {
    std::lock_guard lock(mutex_);
    return arrivals_;
}

}  // namespace karune::test
