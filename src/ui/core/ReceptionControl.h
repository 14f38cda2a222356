#pragma once

#include "config/Settings.h"
#include "session/Reception.h"

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

// The window needs a reception control before the runner exists, and the runner needs the window
// to report into; this closes the loop once both are built. Until then start and stop do nothing.
class LateReception : public ReceptionControl {
public:
    void attach(Reception& reception) { reception_ = &reception; }

    void start(const Settings& snapshot, bool clearStopPressed) override {
        if (reception_ != nullptr)
            reception_->start(snapshot, clearStopPressed);
    }
    void stop() override {
        if (reception_ != nullptr)
            reception_->stop();
    }

private:
    Reception* reception_ = nullptr;
};

}  // namespace karune::ui
