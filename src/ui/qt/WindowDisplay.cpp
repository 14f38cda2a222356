#include "ui/qt/WindowDisplay.h"

#include <QApplication>
#include <QMetaObject>

#include "ui/qt/MainWindow.h"

namespace karune::ui {

WindowDisplay::WindowDisplay(MainWindow& window) : window_(window) {}

template <typename Apply>
void WindowDisplay::post(Apply apply) {
    // Queued calls to one receiver are delivered in the order they were posted.
    MainWindow* window = &window_;
    QMetaObject::invokeMethod(
        window, [window, apply = std::move(apply)] { apply(*window); }, Qt::QueuedConnection);
}

void WindowDisplay::setStatusText(const std::string& text) {
    post([text](MainWindow& w) { w.logic().setStatusText(text); });
}

void WindowDisplay::setErrorText(const std::string& text) {
    post([text](MainWindow& w) { w.logic().setErrorText(text); });
}

void WindowDisplay::setFileText(const std::string& text) {
    post([text](MainWindow& w) { w.logic().setFileText(text); });
}

void WindowDisplay::setStartText(const std::string& text) {
    post([text](MainWindow& w) { w.logic().setStartText(text); });
}

void WindowDisplay::setStopText(const std::string& text) {
    post([text](MainWindow& w) { w.logic().setStopText(text); });
}

void WindowDisplay::setProgress(int maximum, int value, bool visible) {
    post([maximum, value, visible](MainWindow& w) {
        w.logic().setProgress(maximum, value, visible);
    });
}

void WindowDisplay::setBusy(bool busy) {
    post([busy](MainWindow& w) { w.logic().setBusy(busy); });
}

void WindowDisplay::setCommButtons(int mode) {
    post([mode](MainWindow& w) { w.logic().sessionButtons(mode); });
}

void WindowDisplay::beep() {
    post([](MainWindow&) { QApplication::beep(); });
}

}  // namespace karune::ui
