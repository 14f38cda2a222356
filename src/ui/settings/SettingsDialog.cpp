#include "ui/settings/SettingsDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <cmath>
#include <cstdlib>

#include "ui/common/JapaneseFont.h"
#include "ui/core/SettingsDialogLogic.h"
#include "ui/common/Twips.h"
#include "ui/settings/FolderChooser.h"

namespace karune::ui {

namespace {

const QString kPortCaption = QStringLiteral("ﾎﾟｰﾄ");
const QString kPortHint = QStringLiteral("COMﾎﾟｰﾄ番号を選択してください");
const QString kFixFnameCaption = QStringLiteral("保存ﾌｧｲﾙ名");
const QString kFixFnameHint =
    QStringLiteral("保存したいﾌｧｲﾙ名(拡張子はTXT固定、指定不要)を指定してください");
const QString kAddDateCaption = QStringLiteral("日付・時刻付加");
const QString kAddDateHint = QStringLiteral("日付・時刻の付加方法を指定してください");
const QString kFolderCaption = QStringLiteral("保存ﾌｫﾙﾀﾞ");
const QString kFolderHint = QStringLiteral("保存ﾌｫﾙﾀﾞを選択してください");
const QString kFolderRef = QStringLiteral("参照");
const QString kFieldCaption = QStringLiteral("取り込みﾌｨｰﾙﾄﾞ選択");
const QString kFieldHint = QStringLiteral("取り込みたいﾌｨｰﾙﾄﾞをﾁｪｯｸしてください");
const QString kOverWriteCaption = QStringLiteral("保存ﾓｰﾄﾞ");
const QString kOverWriteHint = QStringLiteral("保存ﾓｰﾄﾞを選択してください");
const QString kStartUpSizeCaption = QStringLiteral("ｽﾀｰﾄｻｲｽﾞ");
const QString kStartUpSizeHint =
    QStringLiteral("KARUNEを最小化して起動する場合は、｢ｱｲｺﾝ｣を選択してください");
const QString kAutoStartCaption = QStringLiteral("ｵｰﾄｽﾀｰﾄ");
const QString kAutoStartHint =
    QStringLiteral("KARUNE実行時、通信をｵｰﾄｽﾀｰﾄする場合は、「する」を選択してください");
const QString kCrcTypeCaption = QStringLiteral("CRCﾀｲﾌﾟ");
const QString kCrcTypeHint =
    QStringLiteral("ﾁｪｯｸｻﾑの計算方法を選択してください（通常は、「ﾀｲﾌﾟ1」）");
const QString kProtocolCaption = QStringLiteral("ﾌﾟﾛﾄｺﾙ");
const QString kProtocolHint = QStringLiteral("通信ﾌﾟﾛﾄｺﾙを選択してください(通常は、｢専用｣)");
const QString kTimeAdjust = QStringLiteral("PCと日時を合わせる");
const QString kOk = QStringLiteral("OK");
const QString kCancel = QStringLiteral("ｷｬﾝｾﾙ");

const QStringList kAddDateOptions = {QStringLiteral("日付・時刻なし"),
                                     QStringLiteral("ﾌｧｲﾙ名を日付(YYYYMMDD)にする"),
                                     QStringLiteral("ﾌｧｲﾙ名を日時(YYYYMMDDHHMM)にする"),
                                     QStringLiteral("ﾌｧｲﾙ名に日時(YYYYMMDD)を付加する"),
                                     QStringLiteral("ﾌｧｲﾙ名に日時(YYYYMMDDHHMM)を付加する")};
const QStringList kOverWriteOptions = {QStringLiteral("追加ﾓｰﾄﾞ"), QStringLiteral("上書ﾓｰﾄﾞ")};
const QStringList kStartUpSizeOptions = {QStringLiteral("ﾉｰﾏﾙ"), QStringLiteral("ｱｲｺﾝ")};
const QStringList kAutoStartOptions = {QStringLiteral("しない"), QStringLiteral("する")};
const QStringList kCrcTypeOptions = {QStringLiteral("ﾀｲﾌﾟ1"), QStringLiteral("ﾀｲﾌﾟ2")};
const QStringList kProtocolOptions = {QStringLiteral("専用"), QStringLiteral("ｼﾝﾌﾟﾙ")};

// The two-way groups put their options at 120 and 1560 twips across (1440 in the checksum frame).
std::function<QRect(int)> pairAt(int secondLeft) {
    return [secondLeft](int index) {
        return twipsRect(index == 0 ? 120 : secondLeft, 240, 1215, 300);
    };
}

void checkOption(QButtonGroup* group, int index) {
    if (QAbstractButton* button = group->button(index)) {
        button->setChecked(true);
    }
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* mainWindow, const Settings& settings,
                               ChooserServices chooser, std::function<void(const Settings&)> save)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      mainWindow_(mainWindow),
      chooser_(std::move(chooser)),
      save_(std::move(save)),
      working_(settings) {
    setObjectName(QStringLiteral("frmSetting"));
    setWindowTitle(kCaption);
    applyJapaneseFont(*this);
    setFixedSize(twipsToPixels(9165), twipsToPixels(6390));

    QGroupBox* port = addFrame(QStringLiteral("fraPort"), kPortCaption,
                               twipsRect(120, 120, 4575, 615), kPortHint);
    txtPort_ = new QLineEdit(QStringLiteral("1"), port);
    txtPort_->setObjectName(QStringLiteral("txtPort"));
    txtPort_->setGeometry(twipsRect(120, 240, 615, 270));
    txtPort_->setReadOnly(true);
    hsPort_ = new QScrollBar(Qt::Horizontal, port);
    hsPort_->setObjectName(QStringLiteral("hsPort"));
    hsPort_->setGeometry(twipsRect(840, 240, 3495, 255));
    hsPort_->setRange(1, 8);
    hsPort_->setPageStep(1);
    // Qt's scroll bars invert the arrow keys; the right arrow raises the port number.
    hsPort_->setInvertedControls(false);
    // The port follows the thumb once it is released, not while it is dragged.
    hsPort_->setTracking(false);
    connect(hsPort_, &QScrollBar::valueChanged, this, [this](int value) {
        txtPort_->setText(QString::number(value));
        working_.Port = static_cast<std::int16_t>(value);
    });

    QGroupBox* fixFname = addFrame(QStringLiteral("fraFixFname"), kFixFnameCaption,
                                   twipsRect(120, 840, 4575, 735), kFixFnameHint);
    txtFixFname_ = new QLineEdit(fixFname);
    txtFixFname_->setObjectName(QStringLiteral("txtFixFname"));
    txtFixFname_->setGeometry(twipsRect(120, 360, 4335, 270));
    txtFixFname_->setToolTip(kFixFnameHint);
    // The settings file quotes its texts and has no escape for a double quote.
    txtFixFname_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^\"]*")), this));
    connect(txtFixFname_, &QLineEdit::textChanged, this,
            [this](const QString& text) { working_.FixFname = text.toStdString(); });

    QGroupBox* addDate = addFrame(QStringLiteral("fraAddDate"), kAddDateCaption,
                                  twipsRect(4800, 120, 4215, 2295), kAddDateHint);
    optAddDate_ = addOptions(
        addDate, QStringLiteral("optAddDate"), kAddDateOptions,
        [](int index) { return twipsRect(120, 360 + 360 * index, index == 4 ? 3975 : 3615, 372); },
        working_.AddDate);

    QGroupBox* folder = addFrame(QStringLiteral("fraFolder"), kFolderCaption,
                                 twipsRect(120, 2520, 8895, 612), kFolderHint);
    lblFolder_ = new QLabel(folder);
    lblFolder_->setObjectName(QStringLiteral("lblFolder"));
    lblFolder_->setGeometry(twipsRect(120, 240, 7215, 255));
    lblFolder_->setFrameStyle(QFrame::Box | QFrame::Plain);
    auto* folderRef = new QPushButton(kFolderRef, folder);
    folderRef->setObjectName(QStringLiteral("cmdFolderRef"));
    folderRef->setGeometry(twipsRect(7560, 240, 1092, 252));
    connect(folderRef, &QPushButton::clicked, this, &SettingsDialog::openChooser);

    QGroupBox* fields = addFrame(QStringLiteral("fraField"), kFieldCaption,
                                 twipsRect(120, 3240, 5892, 1335), kFieldHint);
    for (int i = 0; i < Settings::kFieldCount; ++i) {
        auto* box = new QCheckBox(QStringLiteral("F%1").arg(i + 1), fields);
        box->setObjectName(QStringLiteral("chkField%1").arg(i));
        box->setGeometry(twipsRect(120 + 1200 * (i % 5), 240 + 240 * (i / 5), 732, 252));
        connect(box, &QCheckBox::toggled, this,
                [this, i](bool on) { working_.field(i + 1) = on ? 1 : 0; });
        chkField_[static_cast<std::size_t>(i)] = box;
    }

    optOverWrite_ = addOptions(addFrame(QStringLiteral("fraOverWrite"), kOverWriteCaption,
                                        twipsRect(6120, 3240, 2892, 612), kOverWriteHint),
                               QStringLiteral("optOverWrite"), kOverWriteOptions, pairAt(1560),
                               working_.OverWrite);
    optStartUpSize_ = addOptions(addFrame(QStringLiteral("fraStartUpSize"), kStartUpSizeCaption,
                                          twipsRect(6120, 3960, 2892, 612), kStartUpSizeHint),
                                 QStringLiteral("optStartUpSize"), kStartUpSizeOptions,
                                 pairAt(1560), working_.StartUpSize);
    optAutoStart_ = addOptions(addFrame(QStringLiteral("fraAutoStart"), kAutoStartCaption,
                                        twipsRect(120, 4680, 2892, 612), kAutoStartHint),
                               QStringLiteral("optAutoStart"), kAutoStartOptions, pairAt(1560),
                               working_.AutoStart);
    optCrcType_ =
        addOptions(addFrame(QStringLiteral("fraCrcType"), kCrcTypeCaption,
                            twipsRect(3120, 4680, 2892, 612), kCrcTypeHint),
                   QStringLiteral("optCrcType"), kCrcTypeOptions, pairAt(1440), working_.CrcType);
    optProtocol_ = addOptions(addFrame(QStringLiteral("fraProtocol"), kProtocolCaption,
                                       twipsRect(6120, 4680, 2895, 615), kProtocolHint),
                              QStringLiteral("optProtocol"), kProtocolOptions, pairAt(1560),
                              working_.Protocol);

    chkTimeAdjust_ = new QCheckBox(kTimeAdjust, this);
    chkTimeAdjust_->setObjectName(QStringLiteral("chkTimeAdjust"));
    chkTimeAdjust_->setGeometry(twipsRect(120, 5400, 2775, 375));
    connect(chkTimeAdjust_, &QCheckBox::toggled, this,
            [this](bool on) { working_.TimeAdjust = on ? "1" : "0"; });

    auto* ok = new QPushButton(kOk, this);
    ok->setObjectName(QStringLiteral("cmdOK0"));
    ok->setGeometry(twipsRect(6120, 5400, 1455, 855));
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, [this] {
        save_(working_);
        accept();
    });
    auto* cancel = new QPushButton(kCancel, this);
    cancel->setObjectName(QStringLiteral("cmdOK1"));
    cancel->setGeometry(twipsRect(7680, 5400, 1335, 855));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    if (mainWindow_) {
        move(mainWindow_->frameGeometry().topLeft());
        mainWindow_->setEnabled(false);
    }
    loadControls(settings);
}

void SettingsDialog::loadControls(const Settings& settings) {
    hsPort_->setValue(settings.Port);
    txtPort_->setText(QString::number(settings.Port));
    lblFolder_->setText(QString::fromStdString(settings.Folder));
    checkOption(optOverWrite_, settings.OverWrite);
    checkOption(optStartUpSize_, settings.StartUpSize);
    checkOption(optAutoStart_, settings.AutoStart);
    checkOption(optCrcType_, settings.CrcType);
    checkOption(optProtocol_, settings.Protocol);
    checkOption(optAddDate_, settings.AddDate);
    txtFixFname_->setText(QString::fromStdString(settings.FixFname));
    chkTimeAdjust_->setChecked(timeAdjustChecked(settings.TimeAdjust));
    for (int n = 1; n <= Settings::kFieldCount; ++n) {
        chkField_[static_cast<std::size_t>(n - 1)]->setChecked(settings.field(n) == 1);
    }
    // The controls' signals have written parts of the working copy already; the record itself
    // is what the dialog starts from, whatever the controls made of it.
    working_ = settings;
}

void SettingsDialog::done(int result) {
    if (mainWindow_) {
        mainWindow_->setEnabled(true);
    }
    QDialog::done(result);
    deleteLater();
}

void SettingsDialog::closeEvent(QCloseEvent* event) {
    // The window manager delivers a close to a disabled window too.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void SettingsDialog::setFolderText(const QString& folder) {
    lblFolder_->setText(folder);
    working_.Folder = folder.toStdString();
}

QGroupBox* SettingsDialog::addFrame(const QString& name, const QString& caption,
                                    const QRect& geometry, const QString& hint) {
    auto* frame = new QGroupBox(caption, this);
    frame->setObjectName(name);
    frame->setGeometry(geometry);
    frame->setToolTip(hint);
    return frame;
}

QButtonGroup* SettingsDialog::addOptions(QGroupBox* frame, const QString& name,
                                         const QStringList& captions,
                                         const std::function<QRect(int)>& geometry,
                                         std::int16_t& target) {
    auto* group = new QButtonGroup(frame);
    for (int index = 0; index < captions.size(); ++index) {
        auto* option = new QRadioButton(captions[index], frame);
        option->setObjectName(name + QString::number(index));
        option->setGeometry(geometry(index));
        group->addButton(option, index);
    }
    connect(group, &QButtonGroup::idToggled, this, [&target](int index, bool on) {
        if (on) {
            target = static_cast<std::int16_t>(index);
        }
    });
    return group;
}

void SettingsDialog::openChooser() {
    auto* chooser =
        new FolderChooser(this, mainWindow_, lblFolder_->text(), chooser_,
                          [dialog = QPointer<SettingsDialog>(this)](const QString& folder) {
                              if (dialog) {
                                  dialog->setFolderText(folder);
                              }
                          });
    chooser->show();
}

}  // namespace karune::ui
