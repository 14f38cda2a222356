#pragma once

// The operator's window on Windows.
//
// Finding the controls from outside (a test's inspector, an accessibility tool): every window of
// the program has the window class "KaruneModemWindow" and its caption ("KARUNE_MODEM for
// Windows", "ｵﾌﾟｼｮﾝ設定", "保存ﾌｫﾙﾀﾞ", "Karune_modemのﾊﾞｰｼﾞｮﾝ情報"). Each window and each of its
// controls carries its name from the window tables ("frmMain", "cmdComm0", "lblStatus", "Status1",
// "optAddDate3", "Drive1", ...) in the window property "karune.name" as a global atom:
//   ATOM a = (ATOM)(UINT_PTR)GetPropW(control, L"karune.name"); GlobalGetAtomNameW(a, buf, n);
// Controls are direct children of their window (also those inside a frame), in the table's
// creation order except that the focus order comes first; captions are the tables' texts.

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "config/Settings.h"
#include "ui/core/MainWindowLogic.h"
#include "ui/win32/PostedCalls.h"
#include "ui/win32/TopLevelWindow.h"

namespace karune::ui {

class AboutBox;
class FolderSource;
class SettingsDialog;

// What the Windows window needs besides the shared logic's services.
struct Win32Services {
    PostedCalls& calls;           // the session's reports, drained on this window's thread
    const FolderSource& folders;  // the folder chooser's drives and folders
    // Waits at most `bound` for the session to have returned; true when it has. Windows ends the
    // session of the desktop once the window has answered WM_ENDSESSION.
    std::function<bool(std::chrono::milliseconds bound)> waitForSessionEnd;
    // A terminal is connected: the end of the user's session would cut it off.
    std::function<bool()> callInProgress;
};

// frmMain on the Win32 API: makes its controls from the main window's table, shows what the
// logic asks and hands it every event. Also owns the settings dialog and the about box while they
// are open. Everything runs on the thread that created it.
class MainWindow : public TopLevelWindow, public MainWindowView {
public:
    MainWindow(Settings& settings, MainWindowServices services, Win32Services win32);
    ~MainWindow() override;

    MainWindowLogic& logic() { return logic_; }
    // Shows the window as the settings ask and starts the half second to the start-up step.
    void startUp();

    void showButtons(const CommButtons& buttons) override;
    void showText(std::string_view control, const std::string& text) override;
    void showProgress(int maximum, int value, bool visible) override;
    void setBusy(bool busy) override;
    void setInputEnabled(bool enabled) override;
    void showWindow(bool minimised) override;
    void minimise() override;
    void closeDialogs() override;
    void quit() override;

protected:
    void onCommand(const ControlSpec& control, int code) override;
    void onClose() override;
    void onDestroyed() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void openSettings();
    void openAbout();
    void queryEndSession();
    void endSession(bool ending);

    Settings& settings_;
    Win32Services win32_;
    MainWindowLogic logic_;
    bool busy_ = false;
    bool quitPosted_ = false;
    std::unique_ptr<SettingsDialog> settingsDialog_;
    std::unique_ptr<AboutBox> aboutBox_;
};

}  // namespace karune::ui
