#pragma once

#include <gtest/gtest.h>

#include <QPushButton>
#include <memory>
#include <vector>

#include "UiTestSupport.h"
#include "config/Settings.h"
#include "link/Clock.h"
#include "ui/main/FileOpener.h"
#include "ui/main/Lamp.h"
#include "ui/main/MainWindow.h"
#include "ui/main/ReceptionControl.h"

namespace karune::ui::test {

class FakeReception : public ReceptionControl {
public:
    struct Start {
        Settings snapshot;
        bool clearStopPressed;
    };
    void start(const Settings& snapshot, bool clearStopPressed) override {
        starts.push_back({snapshot, clearStopPressed});
    }
    void stop() override { ++stops; }

    std::vector<Start> starts;
    int stops = 0;
};

class RecordingOpener : public FileOpener {
public:
    void open(const QString& path) override { opened << path; }
    QStringList opened;
};

class FixedDateClock : public Clock {
public:
    TimePoint now() const override { return TimePoint{}; }
    LocalDateTime localNow() const override { return {2007, 6, 6, 9, 15, 2}; }
    void sleepUntil(TimePoint) override {}
};

// A main window over fakes, with the program's settings at their defaults.
class MainWindowTest : public UiTest {
protected:
    MainWindowTest() : settings(defaultSettings("/tmp")) {}

    MainWindow& window() {
        if (!window_) {
            window_ = std::make_unique<MainWindow>(
                settings,
                MainWindowServices{reception, opener, clock,
                                   [this](const Settings& copy) {
                                       saved.push_back(copy);
                                       settings = copy;
                                   },
                                   ChooserServices{roots, messages, [this] { ++beeps; }}});
        }
        return *window_;
    }

    QPushButton* button(const char* name) { return child<QPushButton>(window(), name); }
    Lamp* lamp(int index) { return child<Lamp>(window(), QStringLiteral("Status%1").arg(index)); }

    Settings settings;
    FakeReception reception;
    RecordingOpener opener;
    FixedDateClock clock;
    FixedRoots roots{{QStringLiteral("/")}};
    FakeMessages messages;
    int beeps = 0;
    std::vector<Settings> saved;

private:
    std::unique_ptr<MainWindow> window_;
};

}  // namespace karune::ui::test
