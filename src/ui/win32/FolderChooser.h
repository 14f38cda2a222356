#pragma once

#include <functional>
#include <string>

#include "ui/core/FolderChooserLogic.h"
#include "ui/win32/TopLevelWindow.h"

namespace karune::ui {

// frmFolder on the Win32 API: the drive list and the directory list of the shared chooser logic.
// "OK" hands the open folder to `chosen`; `closed` runs whenever the chooser goes, by any route.
class FolderChooser : public TopLevelWindow {
public:
    FolderChooser(const FolderSource& source, const std::string& startFolder,
                  std::function<void(const std::string&)> chosen, std::function<void()> closed);
    ~FolderChooser() override;

    // Shows the chooser over `owner`, centred on `centreOver` (the main window).
    void open(HWND owner, HWND centreOver);
    void close();

protected:
    void onCommand(const ControlSpec& control, int code) override;
    void onDialogKey(int id) override;
    void onClose() override;
    void drawListItem(const DRAWITEMSTRUCT& item) override;

private:
    void showLists();
    void report(const std::optional<std::string>& error);

    FolderChooserLogic logic_;
    // The shell's small folder icons, closed and open; null where the system has none.
    HICON closedFolder_ = nullptr;
    HICON openFolder_ = nullptr;
    std::function<void(const std::string&)> chosen_;
    std::function<void()> closed_;
};

}  // namespace karune::ui
