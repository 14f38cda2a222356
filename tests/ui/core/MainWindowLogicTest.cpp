#include "ui/core/MainWindowLogic.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "config/Utf8Path.h"

namespace karune::ui {
namespace {

constexpr CommButtons kIdle{true, false, true, true, true, false};
constexpr CommButtons kRunning{false, true, false, false, false, true};

// The window as the logic leaves it, and the calls that change more than a field.
class FakeView : public MainWindowView {
public:
    void showButtons(const CommButtons& b) override { buttons = b; }
    void showText(std::string_view control, const std::string& text) override {
        texts[std::string(control)] = text;
    }
    void showProgress(int, int, bool) override {}
    void setBusy(bool busy) override { calls.push_back(busy ? "busy" : "not busy"); }
    void setInputEnabled(bool enabled) override { inputEnabled = enabled; }
    void showWindow(bool minimised) override { calls.push_back(minimised ? "minimised" : "shown"); }
    void minimise() override { calls.push_back("minimise"); }
    void closeDialogs() override { calls.push_back("close dialogs"); }
    void quit() override { calls.push_back("quit"); }

    CommButtons buttons{true, true, true, true, false, false};  // design state
    std::map<std::string, std::string> texts;
    bool inputEnabled = true;
    std::vector<std::string> calls;
};

class FakeReception : public ReceptionControl {
public:
    void start(const Settings& snapshot, bool clearStopPressed) override {
        starts.push_back({snapshot, clearStopPressed});
    }
    void stop() override { ++stops; }
    std::vector<std::pair<Settings, bool>> starts;
    int stops = 0;
};

class RecordingOpener : public FileOpener {
public:
    bool open(const std::string& path) override {
        opened.push_back(path);
        return works;
    }
    std::vector<std::string> opened;
    bool works = true;
};

class FixedDateClock : public Clock {
public:
    TimePoint now() const override { return TimePoint{}; }
    LocalDateTime localNow() const override { return {2007, 6, 6, 9, 15, 2}; }
    void sleepUntil(TimePoint) override {}
};

// A main window's logic over fakes, with the program's settings at their defaults.
struct Window {
    Settings settings = defaultSettings("/tmp");
    FakeView view;
    FakeReception reception;
    RecordingOpener opener;
    FixedDateClock clock;
    std::vector<std::string> failedViewers;
    MainWindowLogic logic{
        settings, view,
        MainWindowServices{reception, opener, clock,
                           [this](const Settings& copy) { settings = copy; },
                           [this](const std::string& path) { failedViewers.push_back(path); }}};
};

TEST(MainWindowLogic, StartStopAndSessionEndDriveButtonsAndReception) {
    EXPECT_EQ(commButtons(0), kIdle);
    EXPECT_EQ(commButtons(1), kRunning);
    Window w;
    w.logic.startAction();
    EXPECT_EQ(w.view.buttons, kRunning);
    EXPECT_TRUE(w.logic.running());
    ASSERT_EQ(w.reception.starts.size(), 1u);
    EXPECT_TRUE(w.reception.starts[0].second);
    EXPECT_EQ(w.reception.starts[0].first, w.settings);

    w.logic.stopAction();
    EXPECT_EQ(w.view.buttons, kIdle);
    EXPECT_FALSE(w.logic.running());
    EXPECT_EQ(w.reception.stops, 1);

    w.logic.startAction();
    w.logic.sessionButtons(0);  // the session ended for good
    EXPECT_EQ(w.view.buttons, kIdle);
    EXPECT_FALSE(w.logic.running());
    EXPECT_EQ(w.reception.stops, 1) << "a session that ends by itself needs no stop";
}

// Until the start-up step the window takes no input; then the automatic start (which leaves the
// stop flag to the session) or the idle buttons.
TEST(MainWindowLogic, StartUpShowsTheWindowAndTheStepStartsOrIdles) {
    for (const int autoStart : {0, 1}) {
        SCOPED_TRACE(autoStart);
        Window w;
        w.settings.AutoStart = static_cast<std::int16_t>(autoStart);
        w.settings.StartUpSize = static_cast<std::int16_t>(autoStart);
        w.logic.startUp();
        EXPECT_FALSE(w.view.inputEnabled);
        EXPECT_EQ(w.view.texts["lblFolder"], "/tmp");
        EXPECT_EQ(w.view.calls, std::vector<std::string>{autoStart ? "minimised" : "shown"});
        EXPECT_TRUE(w.reception.starts.empty());
        w.logic.startUpStep();
        EXPECT_TRUE(w.view.inputEnabled);
        EXPECT_EQ(w.view.buttons, autoStart ? kRunning : kIdle);
        ASSERT_EQ(w.reception.starts.size(), autoStart ? 1u : 0u);
        if (autoStart) {
            EXPECT_FALSE(w.reception.starts[0].second);
        }
    }
}

// Mode 0 replaces, 1 appends on a new line, 2 appends to the last line, others leave the label.
TEST(MainWindowLogic, LabelWritersFollowTheirMode) {
    const struct {
        int mode;
        const char* text;
        const char* shown;
    } steps[] = {{1, "B", "\r\nB"},
                 {2, " [異常終了]", "\r\nB [異常終了]"},
                 {3, "ignored", "\r\nB [異常終了]"},
                 {0, "A", "A"},
                 {1, "B", "A\r\nB"},
                 {0, "", ""}};
    Window w;
    for (const auto& step : steps) {
        w.logic.showStatus(step.mode, step.text);
        w.logic.showError(step.mode, step.text);
        EXPECT_EQ(w.view.texts["lblStatus"], step.shown) << step.mode << step.text;
        EXPECT_EQ(w.view.texts["lblErr"], step.shown) << step.mode << step.text;
    }
    w.logic.setStatusText("whole");
    w.logic.showStatus(2, "!");
    EXPECT_EQ(w.view.texts["lblStatus"], "whole!") << "the session's whole texts are the old text";
}

// The close box and Alt+F4: ignored while a dialog is open, a stop while receiving, else a close.
TEST(MainWindowLogic, CloseRequestsByState) {
    const struct {
        bool dialog, running;
        CloseDecision decision;
        int stops;
    } cases[] = {{false, false, CloseDecision::Close, 0},
                 {false, true, CloseDecision::Stop, 1},
                 {true, false, CloseDecision::Ignore, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dialog << c.running);
        Window w;
        if (c.running) {
            w.logic.startAction();
        }
        if (c.dialog) {
            w.logic.dialogOpened();
            EXPECT_FALSE(w.view.inputEnabled);
        }
        EXPECT_EQ(w.logic.closeRequested(), c.decision);
        EXPECT_EQ(w.reception.stops, c.stops);
        EXPECT_FALSE(w.logic.running());
        if (c.dialog) {
            w.logic.dialogClosed();
            EXPECT_TRUE(w.view.inputEnabled);
        }
    }
}

// A logout or SIGTERM closes the open dialog as "ｷｬﾝｾﾙ" does and stops reception; the program ends
// once the session has returned, at once when none is active.
TEST(MainWindowLogic, EndRequestClosesDialogsAndQuitsOnceTheSessionReturned) {
    Window idle;
    idle.logic.dialogOpened();
    EXPECT_TRUE(idle.logic.endRequested());
    EXPECT_EQ(idle.view.calls, (std::vector<std::string>{"close dialogs", "quit"}));

    Window w;
    w.logic.startAction();
    EXPECT_FALSE(w.logic.endRequested());
    EXPECT_EQ(w.reception.stops, 1);
    EXPECT_EQ(w.view.buttons, kIdle);
    EXPECT_TRUE(w.view.calls.empty()) << "the call in progress closes first";
    w.logic.startAction();
    w.logic.startUpStep();
    EXPECT_EQ(w.reception.starts.size(), 1u) << "nothing starts once the program is ending";
    w.logic.sessionFinished();
    EXPECT_EQ(w.view.calls, std::vector<std::string>{"quit"});
}

TEST(MainWindowLogic, SessionEndWithoutAnEndRequestKeepsTheProgram) {
    Window w;
    w.logic.startAction();
    w.logic.stopAction();
    w.logic.sessionFinished();
    EXPECT_TRUE(w.view.calls.empty());
    w.logic.backgroundDoubleClicked();
    w.logic.setBusy(true);
    w.logic.setBusy(true);
    w.logic.setBusy(false);
    EXPECT_EQ(w.view.calls, (std::vector<std::string>{"minimise", "busy", "not busy"}));
}

// The history label opens the month's file of the save folder, the file label the last output;
// a root folder gets one separator, and nothing opens before the first file.
TEST(MainWindowLogic, ViewersOpenTheirFilesWithThePlatformSeparator) {
    const std::string sep(kPathSeparator);
    const struct {
        std::string folder, file, history, output;
    } cases[] = {
        {sep + "srv" + sep + "my data", sep + "KEN 01.txt",
         sep + "srv" + sep + "my data" + sep + "2007-06.txt",
         sep + "srv" + sep + "my data" + sep + "KEN 01.txt"},
        {sep, sep + "受信.txt", sep + "2007-06.txt", sep + "受信.txt"},
        {"C:\\", "\\A.txt", "C:" + sep + "2007-06.txt", "C:\\A.txt"},
        {sep + "x", "", sep + "x" + sep + "2007-06.txt", ""},
    };
    Window w;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        w.opener.opened.clear();
        w.settings.Folder = c.folder;
        w.logic.setFolderText(c.folder);
        w.logic.setFileText(c.file);
        w.logic.openHistory();
        w.logic.openOutput();
        std::vector<std::string> expected{c.history};
        if (!c.output.empty()) {
            expected.push_back(c.output);
        }
        EXPECT_EQ(w.opener.opened, expected);
    }
    EXPECT_TRUE(w.failedViewers.empty());
    w.opener.works = false;
    w.opener.opened.clear();
    w.logic.openHistory();
    EXPECT_EQ(w.failedViewers, w.opener.opened) << "an editor that cannot start is reported";
}

TEST(MainWindowLogic, SavedSettingsShowTheirFolder) {
    Window w;
    Settings copy = w.settings;
    copy.Folder = "/elsewhere";
    w.logic.saveSettings(copy);
    EXPECT_EQ(w.settings, copy);
    EXPECT_EQ(w.view.texts["lblFolder"], "/elsewhere");
}

}  // namespace
}  // namespace karune::ui
