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

// The window's labels as the logic leaves them, and what else it asks of the view, in order: the
// buttons as "idle" or "running", input as "input on" or "input off".
struct FakeView : MainWindowView {
    void showButtons(const CommButtons& b) override {
        calls.push_back(b == kIdle ? "idle" : b == kRunning ? "running" : "other buttons");
    }
    void showText(std::string_view control, const std::string& text) override {
        texts[std::string(control)] = text;
    }
    void showProgress(int, int, bool) override {}
    void setBusy(bool busy) override { calls.push_back(busy ? "busy" : "not busy"); }
    void setInputEnabled(bool enabled) override {
        calls.push_back(enabled ? "input on" : "input off");
    }
    void showWindow(bool minimised) override { calls.push_back(minimised ? "minimised" : "shown"); }
    void minimise() override { calls.push_back("minimise"); }
    void closeDialogs() override { calls.push_back("close dialogs"); }
    void quit() override { calls.push_back("quit"); }

    std::map<std::string, std::string> texts;
    std::vector<std::string> calls;
};
using Calls = std::vector<std::string>;

// A main window's logic over fakes, with the program's settings at their defaults.
struct Window {
    Settings settings = defaultSettings("/tmp");
    FakeView view;
    test::FakeReception reception;
    test::RecordingOpener opener;
    sim::VirtualClock clock;
    MainWindowLogic logic{
        settings, view,
        MainWindowServices{
            reception, opener, clock, [this](const Settings& copy) { settings = copy; },
            [this](const std::string& path) { view.calls.push_back("cannot open " + path); },
            [](int port) { return port == 2 ? "COM2 = tcp:ts1:4001" : ""; }}};
};

// Start, stop and the session's end set the buttons and drive reception; the start-up step
// enables the window and starts by itself (leaving the stop flag to the session) or idles.
TEST(MainWindowLogic, ButtonsFollowStartStopSessionEndAndStartUp) {
    Window w;
    w.logic.startAction();
    w.logic.stopAction();
    w.logic.startAction();
    w.logic.sessionButtons(0);  // the session ended for good
    EXPECT_EQ(w.view.calls, (Calls{"running", "idle", "running", "idle"}));
    EXPECT_FALSE(w.logic.running());
    EXPECT_EQ(w.reception.starts, (std::vector<bool>{true, true}));
    EXPECT_EQ(w.reception.stops, 1) << "a session that ends by itself needs no stop";

    for (const int autoStart : {0, 1}) {
        Window s;
        s.settings.AutoStart = s.settings.StartUpSize = static_cast<std::int16_t>(autoStart);
        s.logic.startUp();
        s.logic.startUpStep();
        EXPECT_EQ(s.view.texts["lblFolder"], "/tmp");
        EXPECT_EQ(s.view.calls, (Calls{"input off", autoStart ? "minimised" : "shown", "input on",
                                       autoStart ? "running" : "idle"}));
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
// A logout or SIGTERM closes the open dialog as "ｷｬﾝｾﾙ" does and stops reception; nothing starts
// after it, and the program ends once the session has returned, at once when none is active.
TEST(MainWindowLogic, CloseAndEndRequests) {
    const struct {
        bool dialog, running;
        CloseDecision decision;
        int stops;
        Calls ended;  // the view's calls up to the session's end, after an end request
    } cases[] = {
        {false, false, CloseDecision::Close, 0, {"quit", "quit"}},
        {false, true, CloseDecision::Stop, 1, {"running", "idle", "quit"}},
        {true, false, CloseDecision::Ignore, 0, {"input off", "close dialogs", "quit", "quit"}}};
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
        EXPECT_EQ(closed.reception.stops, c.stops);
        EXPECT_EQ(ended.logic.endRequested(), !c.running);
        EXPECT_EQ(ended.reception.stops, c.stops);
        ended.settings.AutoStart = 1;
        ended.logic.startAction();
        ended.logic.startUpStep();
        ended.logic.sessionFinished();
        EXPECT_EQ(ended.view.calls, c.ended);
    }
    Window w;
    w.logic.sessionFinished();
    w.logic.dialogOpened();
    w.logic.dialogClosed();
    EXPECT_EQ(w.view.calls, (Calls{"input off", "input on"}))
        << "without an end request the program stays";
}

// The history label opens the month's file of the save folder, the file label the last output;
// a root folder gets one separator, and nothing opens before the first file. Then the rest of the
// window's events: a save, a double-click on the background, the busy pointer.
TEST(MainWindowLogic, ViewersSavesAndTheBackground) {
    const std::string sep(kPathSeparator);
    const std::string srv = sep + "srv" + sep + "my data";
    const std::string history = sep + "2007-06.txt";
    const struct {
        std::string folder, file;
        Calls opened;  // by the history label, then the file label
    } cases[] = {
        {srv, sep + "KEN 01.txt", {srv + history, srv + sep + "KEN 01.txt"}},
        {sep, sep + "受信.txt", {history, sep + "受信.txt"}},
        {"C:\\", "\\A.txt", {"C:" + history, "C:\\A.txt"}},
        {srv, "", {srv + history}},
    };
    Window w;
    for (const auto& c : cases) {
        w.opener.opened.clear();
        w.settings.Folder = c.folder;
        w.logic.setFolderText(c.folder);
        w.logic.setFileText(c.file);
        w.logic.openHistory();
        w.logic.openOutput();
        EXPECT_EQ(w.opener.opened, c.opened) << c.folder;
    }
    w.opener.works = false;
    w.logic.openHistory();  // an editor that cannot start is reported

    Settings copy = w.settings;
    copy.Folder = "/elsewhere";
    w.logic.saveSettings(copy);
    EXPECT_EQ(w.settings, copy);
    EXPECT_EQ(w.view.texts["lblFolder"], "/elsewhere") << "saved settings show their folder";
    copy.Port = 2;
    w.logic.saveSettings(copy);
    EXPECT_EQ(w.view.texts["lblFolder"], "/elsewhere  (COM2 = tcp:ts1:4001)") << "and the mapping";
    w.logic.setFileText(sep + "A.txt");
    w.logic.openOutput();
    w.logic.backgroundDoubleClicked();
    for (const bool busy : {true, true, false})
        w.logic.setBusy(busy);
    EXPECT_EQ(w.view.calls,
              (Calls{"cannot open " + srv + history, "cannot open /elsewhere" + sep + "A.txt",
                     "minimise", "busy", "not busy"}));
}

}  // namespace
}  // namespace karune::ui
