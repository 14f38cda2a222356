#pragma once

#include <QDialog>
#include <functional>

#include "ui/core/FolderChooserLogic.h"
#include "ui/qt/ChooserServices.h"
#include "ui/qt/Controls.h"

namespace karune::ui {

// The folder chooser on Qt: the controls of folderChooserSpec() showing FolderChooserLogic's drive
// list and directory list. A double-click opens a folder; "OK" hands the open folder to `onChosen`
// and closes. A root or folder that cannot be read beeps and shows the "ｴﾗｰ" message.
//
// It is a window of its own, centred over the main window and shown without modality; closing it
// by any route deletes it (the settings dialog keeps itself disabled meanwhile).
class FolderChooser : public QDialog {
    Q_OBJECT
public:
    FolderChooser(const QWidget* mainWindow, const QString& startFolder, ChooserServices services,
                  std::function<void(const QString&)> onChosen);

    void done(int result) override;

private:
    void showLists();
    void refuseIfFailed(const std::optional<std::string>& error);

    ChooserServices services_;
    std::function<void(const QString&)> onChosen_;
    FolderChooserLogic logic_;
    Controls controls_;
};

}  // namespace karune::ui
