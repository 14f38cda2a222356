#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "config/Settings.h"
#include "link/Clock.h"
#include "ui/core/FileOpener.h"
#include "ui/core/ReceptionControl.h"
#include "ui/core/ViewerPaths.h"

namespace karune::ui {

// What the buttons and lamps of one mode show: enabled buttons, the visible lamp.
struct CommButtons {
    bool start, stop, setting, info, idleLamp, runningLamp;
    bool operator==(const CommButtons&) const = default;
};

// Idle (0): start, settings and version enabled, the red lamp. Running (any other): stop enabled,
// the cyan lamp.
CommButtons commButtons(int mode);

enum class CloseDecision { Ignore, Stop, Close };

// The main window as the logic drives it; each front end implements it over its controls.
//
// Contract: called on the window's thread only.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    virtual void showButtons(const CommButtons& buttons) = 0;
    // "lblStatus", "lblErr" (texts keep their CR LF; the view shows line breaks), "lblFile",
    // "lblFolder", "lblStart", "lblStop".
    virtual void showText(std::string_view control, const std::string& text) = 0;
    virtual void showProgress(int maximum, int value, bool visible) = 0;
    virtual void setBusy(bool busy) = 0;             // the busy mouse pointer
    virtual void setInputEnabled(bool enabled) = 0;  // the whole window
    virtual void showWindow(bool minimised) = 0;
    virtual void minimise() = 0;
    // An end request: the open settings dialog or about box (and a folder chooser over it) go as
    // with "ｷｬﾝｾﾙ"; the front end reports dialogClosed() as for any close.
    virtual void closeDialogs() = 0;
    virtual void quit() = 0;  // ends the program's event loop
};

// What the main window needs besides the settings record.
struct MainWindowServices {
    ReceptionControl& reception;
    FileOpener& opener;
    const Clock& clock;  // the month of the history file
    // Writes a working copy to the settings file and takes it over into the program's settings.
    std::function<void(const Settings&)> saveSettings;
    // The editor could not be started for this path: tell the operator. May be empty.
    std::function<void(const std::string&)> viewerFailed;
    // What the port is mapped to ("COM1 = tcp:HOST:PORT"), empty for its own device; the folder
    // label shows it after the folder. May be empty.
    std::function<std::string(int port)> portMapping = {};
};

// What the operator's window does on each event, whatever draws it. `settings` is the program's
// record and must outlive the logic; so must the view.
//
// Contract: called on the window's thread only; the session's reports reach it there through the
// front end's bridge from the session thread.
class MainWindowLogic {
public:
    static constexpr int kStartUpDelayMs = 500;

    MainWindowLogic(Settings& settings, MainWindowView& view, MainWindowServices services);

    // Folder label, input disabled, the window shown as StartUpSize says. The front end calls
    // startUpStep() kStartUpDelayMs later.
    void startUp();
    // Input enabled; the automatic start or the idle buttons.
    void startUpStep();

    void startAction();
    void stopAction();
    // The session reports that it ended for good (mode 0) or runs (1).
    void sessionButtons(int mode);
    bool running() const { return running_; }

    // Whole new contents, as the session sends them.
    void setStatusText(const std::string& text);
    void setErrorText(const std::string& text);
    void setFileText(const std::string& text);
    void setStartText(const std::string& text);
    void setStopText(const std::string& text);
    void setProgress(int maximum, int value, bool visible);
    void setBusy(bool busy);
    // The two label writers: mode 0 replaces, 1 appends on a new line, 2 appends, others ignore.
    void showStatus(int mode, const std::string& text);
    void showError(int mode, const std::string& text);
    // The folder label: the save folder, then the port's mapping in brackets when it has one.
    void setFolderText(const std::string& folder);

    // The settings dialog or the about box keeps the window disabled while it is open.
    void dialogOpened();
    void dialogClosed();
    bool dialogOpen() const { return dialogOpen_; }

    // A close request (close box, Alt+F4): ignored while a dialog is open (it would be left
    // without its window); turned into a stop while reception runs; else the window may close.
    CloseDecision closeRequested();
    // A logout, shutdown, SIGTERM or service stop: dialogs close as with "ｷｬﾝｾﾙ", reception stops,
    // and the program quits (view.quit()) at once when no session is active, else once the session
    // has returned (sessionFinished()). Returns true when it quit at once.
    bool endRequested();
    // The session runner has returned with no start pending.
    void sessionFinished();

    void backgroundDoubleClicked();  // minimises
    void openHistory();              // the month's history file of the save folder
    void openOutput();               // the latest output file; nothing before the first one
    // "OK" of the settings dialog: services.saveSettings, then lblFolder shows the new Folder.
    void saveSettings(const Settings& workingCopy);

private:
    void startReception(bool clearStopPressed);
    void open(const std::string& path);

    Settings& settings_;
    MainWindowView& view_;
    MainWindowServices services_;
    bool running_ = false;
    bool sessionActive_ = false;  // from a start until the runner has returned
    bool dialogOpen_ = false;
    bool ending_ = false;
    bool busy_ = false;
    std::string statusText_;
    std::string errorText_;
    std::string fileText_;
    std::string folderText_;
};

}  // namespace karune::ui
