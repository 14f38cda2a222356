#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>

#include "config/Settings.h"
#include "ui/core/SettingsDialogLogic.h"
#include "ui/qt/ChooserServices.h"
#include "ui/qt/Controls.h"

namespace karune::ui {

class FolderChooser;

// The settings dialog on Qt: the controls of settingsDialogSpec(), loaded from the settings, every
// change handed to SettingsDialogLogic. "OK" saves through `save` and closes; "ｷｬﾝｾﾙ" and the close
// box drop the changes.
//
// It is a window of its own, shown without modality, placed on the main window's top-left corner
// (the main window keeps itself disabled while the dialog is open). Closing it by any route closes
// its folder chooser and deletes the dialog. While the chooser keeps it disabled, a close request
// (the close box, Alt+F4) is ignored.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    SettingsDialog(QWidget* mainWindow, const Settings& settings, ChooserServices chooser,
                   std::function<void(const Settings&)> save);

    void done(int result) override;
    const SettingsDialogLogic& logic() const { return logic_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void loadControls(const SettingsControls& shown);
    void connectControls();
    void openChooser();

    QPointer<QWidget> mainWindow_;
    ChooserServices chooser_;
    SettingsDialogLogic logic_;
    Controls controls_;
    QPointer<FolderChooser> openChooser_;
};

}  // namespace karune::ui
