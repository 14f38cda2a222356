#include "ui/win32/WindowDisplay.h"

namespace karune::ui {

WindowDisplay::WindowDisplay(PostedCalls& calls, MainWindowLogic& window)
    : calls_(calls), window_(window) {}

void WindowDisplay::setStatusText(const std::string& text) {
    calls_.post([this, text] { window_.setStatusText(text); });
}

void WindowDisplay::setErrorText(const std::string& text) {
    calls_.post([this, text] { window_.setErrorText(text); });
}

void WindowDisplay::setFileText(const std::string& text) {
    calls_.post([this, text] { window_.setFileText(text); });
}

void WindowDisplay::setStartText(const std::string& text) {
    calls_.post([this, text] { window_.setStartText(text); });
}

void WindowDisplay::setStopText(const std::string& text) {
    calls_.post([this, text] { window_.setStopText(text); });
}

void WindowDisplay::setProgress(int maximum, int value, bool visible) {
    calls_.post([this, maximum, value, visible] { window_.setProgress(maximum, value, visible); });
}

void WindowDisplay::setBusy(bool busy) {
    calls_.post([this, busy] { window_.setBusy(busy); });
}

void WindowDisplay::setCommButtons(int mode) {
    calls_.post([this, mode] { window_.sessionButtons(mode); });
}

void WindowDisplay::beep() {
    calls_.post([] { MessageBeep(MB_OK); });
}

}  // namespace karune::ui
