#pragma once

#include "session/Reception.h"
#include "ui/main/ReceptionControl.h"

namespace karune::ui {

// The main window's reception control over the session runner the program owns.
class SessionReception : public ReceptionControl {
public:
    explicit SessionReception(Reception& reception) : reception_(reception) {}

    void start(const Settings& snapshot, bool clearStopPressed) override {
        reception_.start(snapshot, clearStopPressed);
    }
    void stop() override { reception_.stop(); }

private:
    Reception& reception_;
};

}  // namespace karune::ui
