#pragma once

namespace karune {

// Keeps the computer from sleeping while reception runs: a sleeping PC misses every ring, and
// after resume a USB adapter is often gone. Reception holds it from the start of a session until
// no session runs or waits to run.
//
// Contract: called from one thread at a time. hold() may wait briefly for the system (a bounded
// call to a system service) and does nothing while held; release() returns at once and does
// nothing when not held. Where the system offers no way to ask, or refuses, hold() leaves the
// computer as it was and reception runs as before.
class SleepInhibitor {
public:
    virtual ~SleepInhibitor() = default;
    virtual void hold() = 0;
    virtual void release() = 0;
};

// Asks nothing of the system: for tests and tools that run reception without a computer to keep
// awake.
inline SleepInhibitor& noSleepInhibitor() {
    struct None : SleepInhibitor {
        void hold() override {}
        void release() override {}
    };
    static None none;
    return none;
}

}  // namespace karune
