#include "ui/win32/MainWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/windows/EndSessionWindow.h"
#include "ui/win32/AboutBox.h"
#include "ui/win32/SettingsDialog.h"

namespace karune::ui {

namespace {

constexpr UINT_PTR kStartUpTimer = 1;
// The closing sequence (report, silence, "+++", "ATH0", history line) takes seconds; a session
// that has not returned by then is left to Windows.
constexpr std::chrono::seconds kEndSessionBound{30};

int showCommand(bool visible) {
    return visible ? SW_SHOWNA : SW_HIDE;
}

}  // namespace

MainWindow::MainWindow(Settings& settings, MainWindowServices services, Win32Services win32)
    : TopLevelWindow(mainWindowSpec(), Frame::Main),
      settings_(settings),
      win32_(std::move(win32)),
      logic_(settings, *this, std::move(services)) {
    create(nullptr);
    win32_.calls.attach(handle());
}

MainWindow::~MainWindow() {
    settingsDialog_.reset();
    aboutBox_.reset();
    destroy();
}

void MainWindow::startUp() {
    logic_.startUp();
    // One shot: the handler kills it before the step runs.
    SetTimer(handle(), kStartUpTimer, MainWindowLogic::kStartUpDelayMs, nullptr);
}

void MainWindow::showButtons(const CommButtons& buttons) {
    EnableWindow(control("cmdComm0"), buttons.start);
    EnableWindow(control("cmdComm1"), buttons.stop);
    EnableWindow(control("cmdSetting"), buttons.setting);
    EnableWindow(control("cmdInfo"), buttons.info);
    ShowWindow(control("Status0"), showCommand(buttons.idleLamp));
    ShowWindow(control("Status1"), showCommand(buttons.runningLamp));
    // A button that lost the focus by being disabled hands it on, so the keys keep working.
    if (const HWND focus = GetFocus();
        focus != nullptr && !IsWindowEnabled(focus) && IsChild(handle(), focus)) {
        if (const HWND next = GetNextDlgTabItem(handle(), focus, FALSE))
            SetFocus(next);
    }
}

void MainWindow::showText(std::string_view control, const std::string& text) {
    // Static controls break lines at CR LF themselves.
    setText(control, text);
}

void MainWindow::showProgress(int maximum, int value, bool visible) {
    const HWND bar = control("Progbar");
    SendMessageW(bar, PBM_SETRANGE32, 0, std::max(1, maximum));
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(value), 0);
    ShowWindow(bar, showCommand(visible));
}

void MainWindow::setBusy(bool busy) {
    busy_ = busy;
    POINT pointer{};
    GetCursorPos(&pointer);
    if (const HWND under = WindowFromPoint(pointer); under == handle() || IsChild(handle(), under))
        SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void MainWindow::setInputEnabled(bool enabled) {
    EnableWindow(handle(), enabled);
}

void MainWindow::showWindow(bool minimised) {
    ShowWindow(handle(), minimised ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    UpdateWindow(handle());
}

void MainWindow::minimise() {
    ShowWindow(handle(), SW_MINIMIZE);
}

void MainWindow::closeDialogs() {
    if (settingsDialog_ != nullptr && settingsDialog_->exists())
        settingsDialog_->cancel();
    if (aboutBox_ != nullptr && aboutBox_->exists())
        aboutBox_->close();
}

void MainWindow::quit() {
    if (!quitPosted_)
        PostQuitMessage(0);
    quitPosted_ = true;
}

void MainWindow::onCommand(const ControlSpec& control, int code) {
    const std::string_view name = control.name;
    if (code == BN_CLICKED) {
        if (name == "cmdComm0")
            logic_.startAction();
        else if (name == "cmdComm1")
            logic_.stopAction();
        else if (name == "cmdSetting")
            openSettings();
        else if (name == "cmdInfo")
            openAbout();
    } else if (code == STN_DBLCLK) {
        if (name == "lblFile")
            logic_.openOutput();
        else if (name == "Label3")
            logic_.openHistory();
    }
}

void MainWindow::openSettings() {
    settingsDialog_ = std::make_unique<SettingsDialog>(
        settings_, win32_.folders,
        [this](const Settings& workingCopy) { logic_.saveSettings(workingCopy); },
        [this] { logic_.dialogClosed(); });
    settingsDialog_->open(handle());
    logic_.dialogOpened();
}

void MainWindow::openAbout() {
    aboutBox_ = std::make_unique<AboutBox>([this] { logic_.dialogClosed(); });
    aboutBox_->open(handle());
    logic_.dialogOpened();
}

void MainWindow::onClose() {
    if (logic_.closeRequested() == CloseDecision::Close)
        quit();
}

void MainWindow::onDestroyed() {
    KillTimer(handle(), kStartUpTimer);
    win32_.calls.attach(nullptr);
}

// Windows asks whether the user's session may end. Nothing stops yet, for the end may still be
// cancelled; a call in progress gives Windows the reason to show, so that the user can cancel it.
void MainWindow::queryEndSession() {
    if (win32_.callInProgress())
        ShutdownBlockReasonCreate(handle(), kCallInProgressReason);
}

// The session ends, asked first or forced: reception stops as with the stop button, a call in
// progress closes with its closing sequence while Windows shows why, and the program ends. A
// cancelled end leaves reception exactly as it was.
void MainWindow::endSession(bool ending) {
    if (ending) {
        ShutdownBlockReasonCreate(handle(), kClosingReason);
        if (!logic_.endRequested())
            win32_.waitForSessionEnd(kEndSessionBound);
    }
    ShutdownBlockReasonDestroy(handle());
}

bool MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (message) {
        case PostedCalls::kRunMessage:
            win32_.calls.runOne();
            return true;
        case WM_TIMER:
            if (wParam != kStartUpTimer)
                return false;
            KillTimer(handle(), kStartUpTimer);
            logic_.startUpStep();
            return true;
        case WM_LBUTTONDBLCLK:
            logic_.backgroundDoubleClicked();
            return true;
        case WM_SETCURSOR:
            if (!busy_)
                return false;
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            result = TRUE;
            return true;
        case WM_QUERYENDSESSION:
            queryEndSession();
            result = TRUE;
            return true;
        case WM_ENDSESSION:
            endSession(wParam != FALSE);
            result = 0;
            return true;
        default:
            return false;
    }
}

}  // namespace karune::ui
