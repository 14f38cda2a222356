#include "ui/core/MainWindowLogic.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>
#include <vector>

#include "config/Utf8Path.h"
#include "linesim/VirtualClock.h"
#include "support/WindowFakes.h"

namespace karune::ui {
namespace {

constexpr CommButtons kIdle{true, false, true, true, true, false};
constexpr CommButtons kRunning{false, true, false, false, false, true};

// The window as the logic leaves it, and the calls that change more than a field.
struct FakeView : MainWindowView {
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

// A main window's logic over fakes, with the program's settings at their defaults.
struct Window {
    Settings settings = defaultSettings("/tmp");
    FakeView view;
    test::FakeReception reception;
    test::RecordingOpener opener;
    sim::VirtualClock clock;
    std::vector<std::string> failedViewers;
    MainWindowLogic logic{
        settings, view,
        MainWindowServices{reception, opener, clock,
                           [this](const Settings& copy) { settings = copy; },
                           [this](const std::string& path) { failedViewers.push_back(path); },
                           [](int port) { return port == 2 ? "COM2 = tcp:ts1:4001" : ""; }}};
};

// Start, stop and the session's end set the buttons and drive reception; the start-up step
// enables the window and starts by itself (leaving the stop flag to the session) or idles.
TEST(MainWindowLogic, ButtonsFollowStartStopSessionEndAndStartUp) {
    Window w;
    w.logic.startAction();
    EXPECT_EQ(w.view.buttons, kRunning);
    w.logic.stopAction();
    EXPECT_EQ(w.view.buttons, kIdle);
    w.logic.startAction();
    w.logic.sessionButtons(0);  // the session ended for good
    EXPECT_EQ(w.view.buttons, kIdle);
    EXPECT_FALSE(w.logic.running());
    EXPECT_EQ(w.reception.starts, (std::vector<bool>{true, true}));
    EXPECT_EQ(w.reception.stops, 1) << "a session that ends by itself needs no stop";

    for (const int autoStart : {0, 1}) {
        Window s;
        s.settings.AutoStart = s.settings.StartUpSize = static_cast<std::int16_t>(autoStart);
        s.logic.startUp();
        EXPECT_FALSE(s.view.inputEnabled);
        EXPECT_EQ(s.view.texts["lblFolder"], "/tmp");
        EXPECT_EQ(s.view.calls, std::vector<std::string>{autoStart ? "minimised" : "shown"});
        s.logic.startUpStep();
        EXPECT_TRUE(s.view.inputEnabled);
        EXPECT_EQ(s.view.buttons, autoStart ? kRunning : kIdle);
        EXPECT_EQ(s.reception.starts, autoStart ? std::vector<bool>{false} : std::vector<bool>{});
    }
}

// Mode 0 replaces, 1 appends on a new line, 2 appends to the last line, others leave the label.
TEST(MainWindowLogic, LabelWritersFollowTheirMode) {
    const std::tuple<int, const char*, const char*> steps[] = {
        {1, "B", "\r\nB"},
        {2, " [異常終了]", "\r\nB [異常終了]"},
        {3, "x", "\r\nB [異常終了]"},
        {0, "A", "A"},
        {1, "B", "A\r\nB"},
        {0, "", ""}};
    Window w;
    for (const auto& [mode, text, shown] : steps) {
        w.logic.showStatus(mode, text);
        w.logic.showError(mode, text);
        EXPECT_EQ(w.view.texts["lblStatus"], shown) << mode << text;
        EXPECT_EQ(w.view.texts["lblErr"], shown) << mode << text;
    }
}

// The close box and Alt+F4: ignored while a dialog is open, a stop while receiving, else a close.
// A logout or SIGTERM closes the open dialog as "ｷｬﾝｾﾙ" does and stops reception; the program
// ends once the session has returned, at once when none is active.
TEST(MainWindowLogic, CloseAndEndRequests) {
    const struct {
        bool dialog, running;
        CloseDecision decision;
        int stops;
        std::vector<std::string> end;  // what an end request does then
    } cases[] = {{false, false, CloseDecision::Close, 0, {"quit"}},
                 {false, true, CloseDecision::Stop, 1, {}},
                 {true, false, CloseDecision::Ignore, 0, {"close dialogs", "quit"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dialog << c.running);
        Window closed, ended;
        for (Window* w : {&closed, &ended}) {
            if (c.running)
                w->logic.startAction();
            if (c.dialog)
                w->logic.dialogOpened();
        }
        EXPECT_EQ(closed.logic.closeRequested(), c.decision);
        EXPECT_EQ(ended.logic.endRequested(), !c.running);
        EXPECT_EQ(ended.view.calls, c.end);
        EXPECT_EQ(closed.reception.stops, c.stops);
        EXPECT_EQ(ended.reception.stops, c.stops);
        ended.settings.AutoStart = 1;
        ended.logic.startAction();
        ended.logic.startUpStep();
        EXPECT_EQ(ended.reception.starts.size(), c.running ? 1u : 0u) << "nothing starts now";
        ended.view.calls.clear();
        ended.logic.sessionFinished();
        EXPECT_EQ(ended.view.calls, std::vector<std::string>{"quit"});
    }
    Window w;
    w.logic.sessionFinished();
    EXPECT_TRUE(w.view.calls.empty()) << "without an end request the program stays";
    w.logic.dialogOpened();
    EXPECT_FALSE(w.view.inputEnabled);
    w.logic.dialogClosed();
    EXPECT_TRUE(w.view.inputEnabled);
}

// The history label opens the month's file of the save folder, the file label the last output;
// a root folder gets one separator, and nothing opens before the first file. Then the rest of the
// window's events: a save, a double-click on the background, the busy pointer.
TEST(MainWindowLogic, ViewersSavesAndTheBackground) {
    const std::string sep(kPathSeparator);
    const std::string srv = sep + "srv" + sep + "my data";
    const struct {
        std::string folder, file, history, output;
    } cases[] = {
        {srv, sep + "KEN 01.txt", srv + sep + "2007-06.txt", srv + sep + "KEN 01.txt"},
        {sep, sep + "受信.txt", sep + "2007-06.txt", sep + "受信.txt"},
        {"C:\\", "\\A.txt", "C:" + sep + "2007-06.txt", "C:\\A.txt"},
        {srv, "", srv + sep + "2007-06.txt", ""},
    };
    Window w;
    for (const auto& c : cases) {
        w.opener.opened.clear();
        w.settings.Folder = c.folder;
        w.logic.setFolderText(c.folder);
        w.logic.setFileText(c.file);
        w.logic.openHistory();
        w.logic.openOutput();
        std::vector<std::string> expected{c.history};
        if (!c.output.empty())
            expected.push_back(c.output);
        EXPECT_EQ(w.opener.opened, expected) << c.folder;
    }
    EXPECT_TRUE(w.failedViewers.empty());
    w.opener.works = false;
    w.opener.opened.clear();
    w.logic.openHistory();
    EXPECT_EQ(w.failedViewers, w.opener.opened) << "an editor that cannot start is reported";

    Settings copy = w.settings;
    copy.Folder = "/elsewhere";
    w.logic.saveSettings(copy);
    EXPECT_EQ(w.settings, copy);
    EXPECT_EQ(w.view.texts["lblFolder"], "/elsewhere") << "saved settings show their folder";
    copy.Port = 2;
    w.logic.saveSettings(copy);
    EXPECT_EQ(w.view.texts["lblFolder"], "/elsewhere  (COM2 = tcp:ts1:4001)") << "and the mapping";
    w.opener.opened.clear();
    w.logic.setFileText(sep + "A.txt");
    w.logic.openOutput();
    EXPECT_EQ(w.opener.opened, std::vector<std::string>{"/elsewhere" + sep + "A.txt"});
    w.logic.backgroundDoubleClicked();
    for (const bool busy : {true, true, false})
        w.logic.setBusy(busy);
    EXPECT_EQ(w.view.calls, (std::vector<std::string>{"minimise", "busy", "not busy"}));
}

}  // namespace
}  // namespace karune::ui
