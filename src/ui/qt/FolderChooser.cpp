#include "ui/qt/FolderChooser.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

namespace karune::ui {

FolderChooser::FolderChooser(const QWidget* mainWindow, const QString& startFolder,
                             ChooserServices services, std::function<void(const QString&)> onChosen)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      services_(std::move(services)),
      onChosen_(std::move(onChosen)),
      logic_(services_.folders, startFolder.toStdString()),
      controls_(folderChooserSpec(), *this) {
    auto* drives = controls_.get<QComboBox>("Drive1");
    for (const RootEntry& root : logic_.roots()) {
        drives->addItem(QString::fromStdString(root.label));
    }
    connect(drives, &QComboBox::activated, this,
            [this](int index) { refuseIfFailed(logic_.pickRoot(index)); });
    connect(controls_.get<QListWidget>("Dir1"), &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) {
                refuseIfFailed(logic_.openRow(controls_.get<QListWidget>("Dir1")->row(item)));
            });
    auto* ok = controls_.get<QPushButton>("cmdOK0");
    connect(ok, &QPushButton::clicked, this, [this] {
        onChosen_(QString::fromStdString(logic_.openFolder()));
        accept();
    });
    connect(controls_.get<QPushButton>("cmdOK1"), &QPushButton::clicked, this, &QDialog::reject);
    ok->setFocus();
    if (mainWindow != nullptr) {
        const QRect outer = mainWindow->frameGeometry();
        move(outer.left() + (outer.width() - width()) / 2,
             outer.top() + (outer.height() - height()) / 2);
    }
    showLists();
}

void FolderChooser::done(int result) {
    QDialog::done(result);
    deleteLater();
}

void FolderChooser::refuseIfFailed(const std::optional<std::string>& error) {
    showLists();
    if (error) {
        if (services_.beep) {
            services_.beep();
        }
        services_.messages.show(OperatorMessage{{}, *error, MessageIcon::None});
    }
}

void FolderChooser::showLists() {
    auto* drives = controls_.get<QComboBox>("Drive1");
    const QSignalBlocker quiet(drives);
    drives->setCurrentIndex(logic_.selectedRoot());

    auto* list = controls_.get<QListWidget>("Dir1");
    list->clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    for (const FolderRow& row : logic_.rows()) {
        new QListWidgetItem(
            row.open ? openIcon : closedIcon,
            QString(row.depth * 2, QLatin1Char(' ')) + QString::fromStdString(row.text), list);
    }
    list->setCurrentRow(logic_.currentRow());
}

}  // namespace karune::ui
