#pragma once

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <functional>

#include "ui/settings/ChooserServices.h"

class QComboBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace karune::ui {

// The folder chooser: a drive list of the file-system roots and a directory list showing the open
// folder's path from its root down and its sub-folders. A double-click opens a folder, a single
// click only highlights it; "OK" hands the open folder to `onChosen` and closes.
//
// It is a window of its own, shown without modality: while it exists it keeps `owner` (the
// settings dialog) disabled, and closing it by any route enables and raises the owner again and
// deletes the chooser.
class FolderChooser : public QDialog {
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("保存ﾌｫﾙﾀﾞ");

    FolderChooser(QWidget* owner, const QWidget* mainWindow, const QString& startFolder,
                  ChooserServices services, std::function<void(const QString&)> onChosen);

    void done(int result) override;

private:
    // What the drive list does when the operator picks `root`.
    void pickRoot(const QString& root);
    bool open(const QString& folder);
    void showFolder(const QString& folder, const QStringList& subfolders);
    void refuse(const std::error_code& error);
    void selectRootQuietly(const QString& root);
    void onItemDoubleClicked(QListWidgetItem* item);

    QPointer<QWidget> owner_;
    ChooserServices services_;
    std::function<void(const QString&)> onChosen_;
    QStringList roots_;
    QHash<QString, QString> lastOpened_;  // per root: the folder last opened there
    QString openFolder_;
    QComboBox* drive1_;
    QListWidget* dir1_;
};

}  // namespace karune::ui
