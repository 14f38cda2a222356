#pragma once

#include <atomic>

namespace karune {

// The two flags that the window (or a signal) and the session share. The stop action clears
// `running` and sets `stopPressed`; the session reads them at its stop checks.
struct SessionFlags {
    std::atomic<bool> running{false};
    std::atomic<bool> stopPressed{false};

    void requestStop() {
        stopPressed = true;
        running = false;
    }
};

}  // namespace karune
