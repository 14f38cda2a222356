#pragma once

#include "config/Settings.h"

namespace karune::ui {

// What the main window needs of reception: the start and stop actions. The program wires it to
// the session runner; tests fake it.
//
// Contract: called on the window's thread; start() and stop() return at once.
class ReceptionControl {
public:
    virtual ~ReceptionControl() = default;
    // `clearStopPressed` is false for the automatic start, which leaves the stop flag to the
    // session.
    virtual void start(const Settings& snapshot, bool clearStopPressed) = 0;
    virtual void stop() = 0;
};

}  // namespace karune::ui
