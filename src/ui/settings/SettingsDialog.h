#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <functional>

#include "config/Settings.h"
#include "ui/settings/ChooserServices.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace karune::ui {

// The settings dialog: edits a working copy of the settings. "OK" hands the working copy to
// `save` (which writes the settings file and takes the copy over) and closes; "ｷｬﾝｾﾙ" and the
// close box drop it.
//
// It is a window of its own, shown without modality: while it exists it keeps the main window
// disabled, and closing it by any route enables the main window again and deletes the dialog.
// While the folder chooser keeps it disabled, a close request (the close box, Alt+F4) is ignored.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("ｵﾌﾟｼｮﾝ設定");

    SettingsDialog(QWidget* mainWindow, const Settings& settings, ChooserServices chooser,
                   std::function<void(const Settings&)> save);

    void done(int result) override;

    const Settings& workingCopy() const { return working_; }
    // What the folder chooser's "OK" does: the folder label and the working copy follow.
    void setFolderText(const QString& folder);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void loadControls(const Settings& settings);
    QGroupBox* addFrame(const QString& name, const QString& caption, const QRect& geometry,
                        const QString& hint);
    QButtonGroup* addOptions(QGroupBox* frame, const QString& name, const QStringList& captions,
                             const std::function<QRect(int)>& geometry, std::int16_t& target);
    void openChooser();

    QPointer<QWidget> mainWindow_;
    ChooserServices chooser_;
    std::function<void(const Settings&)> save_;
    Settings working_;

    QLineEdit* txtPort_;
    QScrollBar* hsPort_;
    QLineEdit* txtFixFname_;
    QLabel* lblFolder_;
    QButtonGroup* optAddDate_;
    QButtonGroup* optOverWrite_;
    QButtonGroup* optStartUpSize_;
    QButtonGroup* optAutoStart_;
    QButtonGroup* optCrcType_;
    QButtonGroup* optProtocol_;
    std::array<QCheckBox*, Settings::kFieldCount> chkField_{};
    QCheckBox* chkTimeAdjust_;
};

}  // namespace karune::ui
