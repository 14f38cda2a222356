#include "ui/settings/FolderChooser.h"

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

#include "ui/common/JapaneseFont.h"
#include "ui/common/Twips.h"
#include "ui/core/FolderChooserLogic.h"
#include "ui/core/FolderListing.h"

namespace karune::ui {

namespace {

const QString kOk = QStringLiteral("OK");
const QString kCancel = QStringLiteral("ｷｬﾝｾﾙ");
constexpr int kPathRole = Qt::UserRole;

QString normalised(const QString& folder) {
    return QDir::cleanPath(QDir::fromNativeSeparators(folder));
}

std::variant<QStringList, std::error_code> listSubfolders(const QString& folder) {
    auto listing = karune::ui::listSubfolders(folder.toStdString());
    if (const auto* error = std::get_if<std::error_code>(&listing)) {
        return *error;
    }
    QStringList names;
    for (const std::string& name : std::get<std::vector<std::string>>(listing)) {
        names << QString::fromStdString(name);
    }
    return names;
}

QString rootOf(const QStringList& roots, const QString& path) {
    QString best;
    for (const QString& root : roots) {
        const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        const bool holds = path == root || path.startsWith(prefix);
        if (holds && root.size() > best.size()) {
            best = root;
        }
    }
    return best;
}

}  // namespace

FolderChooser::FolderChooser(QWidget* owner, const QWidget* mainWindow, const QString& startFolder,
                             ChooserServices services, std::function<void(const QString&)> onChosen)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      owner_(owner),
      services_(std::move(services)),
      onChosen_(std::move(onChosen)),
      roots_(services_.roots.roots()) {
    setObjectName(QStringLiteral("frmFolder"));
    setWindowTitle(kCaption);
    applyJapaneseFont(*this);
    setFixedSize(twipsToPixels(4965), twipsToPixels(3195));

    drive1_ = new QComboBox(this);
    drive1_->setObjectName(QStringLiteral("Drive1"));
    drive1_->setGeometry(twipsRect(120, 120, 3372, 276));
    drive1_->addItems(roots_);
    connect(drive1_, &QComboBox::activated, this,
            [this](int index) { pickRoot(drive1_->itemText(index)); });

    dir1_ = new QListWidget(this);
    dir1_->setObjectName(QStringLiteral("Dir1"));
    dir1_->setGeometry(twipsRect(120, 480, 3372, 2520));
    connect(dir1_, &QListWidget::itemDoubleClicked, this, &FolderChooser::onItemDoubleClicked);

    auto* ok = new QPushButton(kOk, this);
    ok->setObjectName(QStringLiteral("cmdOK0"));
    ok->setGeometry(twipsRect(3720, 120, 1215, 375));
    connect(ok, &QPushButton::clicked, this, [this] {
        onChosen_(openFolder_);
        accept();
    });
    auto* cancel = new QPushButton(kCancel, this);
    cancel->setObjectName(QStringLiteral("cmdOK1"));
    cancel->setGeometry(twipsRect(3720, 600, 1215, 375));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(ok, cancel);
    setTabOrder(cancel, drive1_);
    setTabOrder(drive1_, dir1_);
    ok->setFocus();

    if (mainWindow != nullptr) {
        const QRect outer = mainWindow->frameGeometry();
        move(outer.left() + (outer.width() - width()) / 2,
             outer.top() + (outer.height() - height()) / 2);
    }
    if (owner_) {
        owner_->setEnabled(false);
    }

    // A start folder that is gone opens the current directory instead, without a message.
    const QString start = normalised(startFolder);
    if (!rootOf(roots_, start).isEmpty() && open(start)) {
        return;
    }
    // When even the current directory cannot be read the lists stay empty, again silently.
    open(normalised(QDir::currentPath()));
}

void FolderChooser::done(int result) {
    if (owner_) {
        owner_->setEnabled(true);
        owner_->show();
        owner_->raise();
        owner_->activateWindow();
    }
    QDialog::done(result);
    deleteLater();
}

void FolderChooser::pickRoot(const QString& root) {
    selectRootQuietly(root);
    const QString target = lastOpened_.value(root, root);
    auto listing = listSubfolders(target);
    if (const auto* error = std::get_if<std::error_code>(&listing)) {
        // The drive list keeps the new root; the directory list keeps its previous folder.
        refuse(*error);
        return;
    }
    showFolder(target, std::get<QStringList>(listing));
}

bool FolderChooser::open(const QString& folder) {
    auto listing = listSubfolders(folder);
    if (std::holds_alternative<std::error_code>(listing)) {
        return false;
    }
    selectRootQuietly(rootOf(roots_, folder));
    showFolder(folder, std::get<QStringList>(listing));
    return true;
}

void FolderChooser::showFolder(const QString& folder, const QStringList& subfolders) {
    openFolder_ = folder;
    const QString root = rootOf(roots_, folder);
    lastOpened_.insert(root, folder);

    dir1_->clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto add = [this](const QIcon& icon, const QString& text, int depth, const QString& path) {
        auto* item = new QListWidgetItem(icon, QString(depth * 2, QLatin1Char(' ')) + text, dir1_);
        item->setData(kPathRole, path);
        return item;
    };
    QString path = root;
    int depth = 0;
    QListWidgetItem* current = add(openIcon, root, depth, root);
    const QString below = folder.mid(root.size());
    for (const QString& part : below.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path = path.endsWith(QLatin1Char('/')) ? path + part : path + QLatin1Char('/') + part;
        current = add(openIcon, part, ++depth, path);
    }
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (const QString& name : subfolders) {
        add(closedIcon, name, depth + 1, prefix + name);
    }
    dir1_->setCurrentItem(current);
}

void FolderChooser::refuse(const std::error_code& error) {
    if (services_.beep) {
        services_.beep();
    }
    services_.messages.show(OperatorMessage{{}, folderErrorText(error), MessageIcon::None});
}

void FolderChooser::selectRootQuietly(const QString& root) {
    const QSignalBlocker block(drive1_);
    drive1_->setCurrentIndex(drive1_->findText(root));
}

void FolderChooser::onItemDoubleClicked(QListWidgetItem* item) {
    const QString folder = item->data(kPathRole).toString();
    auto listing = listSubfolders(folder);
    if (const auto* error = std::get_if<std::error_code>(&listing)) {
        refuse(*error);
        return;
    }
    showFolder(folder, std::get<QStringList>(listing));
}

}  // namespace karune::ui
