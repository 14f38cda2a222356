#pragma once

#include <string>
#include <vector>

#include "ui/core/FileOpener.h"
#include "ui/core/ReceptionControl.h"

namespace karune::test {

// Records the main window's starts (their clearStopPressed) and stops.
struct FakeReception : ui::ReceptionControl {
    void start(const Settings&, bool clearStopPressed) override {
        starts.push_back(clearStopPressed);
    }
    void stop() override { ++stops; }
    std::vector<bool> starts;
    int stops = 0;
};

// Records the paths it is asked to open; `works` says whether the editor starts.
struct RecordingOpener : ui::FileOpener {
    bool open(const std::string& path) override {
        opened.push_back(path);
        return works;
    }
    std::vector<std::string> opened;
    bool works = true;
};

}  // namespace karune::test
