#pragma once

#include <functional>

#include "ui/win32/TopLevelWindow.h"

namespace karune::ui {

// frmAbout on the Win32 API: icon, title, version and company over the banner, centred on the
// main window. "OK", Enter, Esc and the close box close it; `closed` runs then.
class AboutBox : public TopLevelWindow {
public:
    explicit AboutBox(std::function<void()> closed);
    ~AboutBox() override;

    void open(HWND mainWindow);
    void close();

protected:
    void onCommand(const ControlSpec& control, int code) override;
    void onDialogKey(int id) override;
    void onClose() override;

private:
    std::function<void()> closed_;
};

}  // namespace karune::ui
