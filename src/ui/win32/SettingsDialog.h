#pragma once

#include <functional>
#include <memory>
#include <string>

#include "config/Settings.h"
#include "ui/core/FolderChooserLogic.h"
#include "ui/core/SettingsDialogLogic.h"
#include "ui/win32/TopLevelWindow.h"

namespace karune::ui {

class FolderChooser;

// frmSetting on the Win32 API: the controls of the settings dialog's table, loaded from the
// settings; every change goes to the shared dialog logic, whose working copy "OK" hands to
// `save`. `closed` runs whenever the dialog goes, by any route.
class SettingsDialog : public TopLevelWindow {
public:
    SettingsDialog(const Settings& settings, const FolderSource& folders,
                   std::function<void(const Settings&)> save, std::function<void()> closed);
    ~SettingsDialog() override;

    // Shows the dialog with its top-left corner on the main window's, loaded from the settings.
    void open(HWND mainWindow);
    // As "ｷｬﾝｾﾙ", also when the folder chooser is open over it (it goes first).
    void cancel();

protected:
    void onCommand(const ControlSpec& control, int code) override;
    void onDialogKey(int id) override;
    void onClose() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void load(const SettingsControls& values);
    void portScrolled(int request, int thumb);
    void fixFnameEdited();
    void openChooser();
    void chooserClosed();
    void close();

    const Settings& settings_;
    const FolderSource& folders_;
    SettingsDialogLogic logic_;
    std::function<void()> closed_;
    std::unique_ptr<FolderChooser> chooser_;
    std::string keptFixFname_;
    bool loading_ = false;
};

}  // namespace karune::ui
