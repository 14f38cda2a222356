#pragma once

#include <atomic>

namespace karune {

// The flags that the window (or a signal) and the session share. The stop action clears
// `running` and sets `stopPressed`; the session reads them at its stop checks. The session sets
// `callInProgress` from the modem's "CONNECT" until it has hung up, for those who would cut a
// terminal off (the end of the user's session asks).
struct SessionFlags {
    std::atomic<bool> running{false};
    std::atomic<bool> stopPressed{false};
    std::atomic<bool> callInProgress{false};

    void requestStop() {
        stopPressed = true;
        running = false;
    }
};

}  // namespace karune
