#pragma once

#include <string>

namespace karune {

// What the session shows of itself: the main window's labels, buttons, lamps and progress bar,
// or the standard output of the headless program.
//
// Contract: every call comes from the session thread, returns at once and never fails; an
// implementation applies the calls in the order they were made. Texts are UTF-8 and are the
// whole new content of the label (the session applies the label modes itself).
class Display {
public:
    virtual ~Display() = default;

    virtual void setStatusText(const std::string& text) = 0;  // lblStatus
    virtual void setErrorText(const std::string& text) = 0;   // lblErr
    virtual void setFileText(const std::string& text) = 0;    // lblFile
    virtual void setStartText(const std::string& text) = 0;   // lblStart
    virtual void setStopText(const std::string& text) = 0;    // lblStop
    virtual void setProgress(int maximum, int value, bool visible) = 0;
    virtual void setBusy(bool busy) = 0;  // the busy mouse pointer
    // 0 idle, 1 running; the session only ever asks for idle when it ends for good.
    virtual void setCommButtons(int mode) = 0;
    virtual void beep() = 0;
};

}  // namespace karune
