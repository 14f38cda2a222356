#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>

#include "link/SerialLine.h"

namespace karune::test {

// A serial line whose reads wait at a gate that the test opens, so that a session on a worker
// thread can be held in the middle of a read while the test acts (presses stop, starts again) and
// then let go one read at a time. Behind the gate it reads from and writes to another line.
class GatedLine : public SerialLine {
public:
    explicit GatedLine(SerialLine& inner) : inner_(inner) {}

    std::string readUntil(Clock::TimePoint deadline) override;
    bool write(std::string_view bytes) override { return inner_.write(bytes); }

    // Lets `reads` more reads through.
    void allow(int reads);
    // Lets every read through from now on.
    void open();
    // Blocks until `total` reads have arrived at the gate since the line was made.
    void waitForArrivals(int total);
    int arrivals() const;

private:
    SerialLine& inner_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int allowed_ = 0;
    bool open_ = false;
    int arrivals_ = 0;
};

}  // namespace karune::test
