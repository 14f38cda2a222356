#pragma once

#include "session/Display.h"
#include "ui/core/MainWindowLogic.h"
#include "ui/win32/PostedCalls.h"

namespace karune::ui {

// The session's display on the Windows main window. Every call may come from the session's
// thread; it returns at once and is applied on the window's thread through `calls`, in the order
// the calls were made. Calls still queued when the window goes are dropped with it.
class WindowDisplay : public Display {
public:
    WindowDisplay(PostedCalls& calls, MainWindowLogic& window);

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
    PostedCalls& calls_;
    MainWindowLogic& window_;
};

}  // namespace karune::ui
