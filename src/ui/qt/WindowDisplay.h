#pragma once

#include "session/Display.h"

namespace karune::ui {

class MainWindow;

// The session's display on the main window. Every call may come from the session's thread; it
// returns at once and is applied on the window's thread, in the order the calls were made.
// The window must outlive the session (the program ends reception before it destroys the
// window); calls still queued when the window goes are dropped with it.
class WindowDisplay : public Display {
public:
    explicit WindowDisplay(MainWindow& window);

    void setStatusText(const std::string& text) override;
    void setErrorText(const std::string& text) override;
    void setFileText(const std::string& text) override;
    void setStartText(const std::string& text) override;
    void setStopText(const std::string& text) override;
    void setProgress(int maximum, int value, bool visible) override;
    void setBusy(bool busy) override;
    void setCommButtons(int mode) override;
    void beep() override;

private:
    template <typename Apply>
    void post(Apply apply);

    MainWindow& window_;
};

}  // namespace karune::ui
