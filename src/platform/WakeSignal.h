#pragma once

#include <atomic>

namespace karune {

// A one-way signal that wakes every poll() waiting on its descriptor, for shutting down blocked
// reads from another thread. Once raised it stays raised: the descriptor stays readable, so a
// wait that starts after the signal ends at once too.
class WakeSignal {
public:
    WakeSignal();
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    // Safe from any thread and from a signal handler.
    void raise();
    bool raised() const { return raised_.load(); }

    // Readable once raised; -1 when no descriptor could be made (then raised() is the only signal).
    int descriptor() const { return readEnd_; }

private:
    int readEnd_ = -1;
    int writeEnd_ = -1;
    std::atomic<bool> raised_{false};
};

}  // namespace karune
