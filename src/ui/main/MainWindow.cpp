#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "session/Labels.h"
#include "ui/about/AboutBox.h"
#include "ui/about/Artwork.h"
#include "ui/common/JapaneseFont.h"
#include "ui/common/Twips.h"
#include "ui/main/DoubleClickLabel.h"
#include "ui/main/Lamp.h"
#include "ui/core/ViewerPaths.h"
#include "ui/settings/SettingsDialog.h"

namespace karune::ui {

namespace {

const QString kFileCaption = QStringLiteral("ﾌｧｲﾙ名");
const QString kFolderCaption = QStringLiteral("保存ﾌｫﾙﾀﾞ");
const QString kStatusCaption = QStringLiteral("ｽﾃｰﾀｽ");
const QString kErrorCaption = QStringLiteral("ｴﾗｰﾒｯｾｰｼﾞ");
const QString kTimesCaption = QStringLiteral("←通信開始時刻                 通信終了時刻→");
const QString kStart = QStringLiteral("通信ｽﾀｰﾄ");
const QString kStop = QStringLiteral("通信ｽﾄｯﾌﾟ");
const QString kSetting = QStringLiteral("設定");
const QString kInfo = QStringLiteral("ﾊﾞｰｼﾞｮﾝ");
constexpr unsigned int kIdleLampBgr = 0x000000FF;
constexpr unsigned int kRunningLampBgr = 0x00FFFF00;
constexpr unsigned int kTimesTextBgr = 0x000000FF;

// Labels show line breaks; the texts keep the CR LF the session and its files use.
QString forDisplay(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

}  // namespace

MainWindow::MainWindow(Settings& settings, MainWindowServices services)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                           Qt::CustomizeWindowHint),
      settings_(settings),
      services_(std::move(services)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kCaption);
    setWindowIcon(programIcon());
    applyJapaneseFont(*this);
    setFixedSize(twipsToPixels(8910), twipsToPixels(5010));

    addLabel(QStringLiteral("Label2"), kFileCaption, twipsRect(120, 120, 1212, 252), true);
    lblFile_ = addLabel(QStringLiteral("lblFile"), {}, twipsRect(1440, 120, 7335, 255), true);
    addLabel(QStringLiteral("Label1"), kFolderCaption, twipsRect(120, 480, 1212, 252), true);
    lblFolder_ = addLabel(QStringLiteral("lblFolder"), {}, twipsRect(1440, 480, 7335, 255), true);
    addLabel(QStringLiteral("Label4"), kStatusCaption, twipsRect(120, 840, 1212, 252), true);
    lblStatus_ = addLabel(QStringLiteral("lblStatus"), {}, twipsRect(1440, 840, 7335, 975), true);
    addLabel(QStringLiteral("Label5"), kErrorCaption, twipsRect(120, 1920, 1215, 255), true);
    lblErr_ = addLabel(QStringLiteral("lblErr"), {}, twipsRect(1440, 1920, 7335, 975), true);
    for (DoubleClickLabel* multiLine : {lblStatus_, lblErr_}) {
        multiLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        multiLine->setWordWrap(true);
    }

    progbar_ = new QProgressBar(this);
    progbar_->setObjectName(QStringLiteral("Progbar"));
    progbar_->setGeometry(twipsRect(120, 3000, 8655, 375));
    progbar_->setTextVisible(false);
    progbar_->setRange(0, 100);
    progbar_->setValue(0);
    progbar_->hide();

    lblStart_ = addLabel(QStringLiteral("lblStart"), {}, twipsRect(120, 3480, 2295, 255), true);
    label3_ =
        addLabel(QStringLiteral("Label3"), kTimesCaption, twipsRect(2520, 3480, 3855, 255), false);
    QPalette red = label3_->palette();
    red.setColor(QPalette::WindowText, fromBgr(kTimesTextBgr));
    label3_->setPalette(red);
    lblStop_ = addLabel(QStringLiteral("lblStop"), {}, twipsRect(6480, 3480, 2295, 255), true);
    for (DoubleClickLabel* centred : {lblStart_, label3_, lblStop_}) {
        centred->setAlignment(Qt::AlignCenter);
    }
    connect(label3_, &DoubleClickLabel::doubleClicked, this, &MainWindow::openHistory);
    connect(lblFile_, &DoubleClickLabel::doubleClicked, this, &MainWindow::openOutput);

    lampIdle_ = new Lamp(fromBgr(kIdleLampBgr), this);
    lampIdle_->setObjectName(QStringLiteral("Status0"));
    lampRunning_ = new Lamp(fromBgr(kRunningLampBgr), this);
    lampRunning_->setObjectName(QStringLiteral("Status1"));
    for (Lamp* lamp : {lampIdle_, lampRunning_}) {
        lamp->setGeometry(twipsRect(1440, 3840, 5895, 1095));
        lamp->hide();
    }

    cmdStart_ = addButton(QStringLiteral("cmdComm0"), kStart, twipsRect(120, 3840, 1212, 492));
    cmdStop_ = addButton(QStringLiteral("cmdComm1"), kStop, twipsRect(120, 4440, 1212, 492));
    cmdSetting_ =
        addButton(QStringLiteral("cmdSetting"), kSetting, twipsRect(7440, 3840, 1332, 492));
    cmdInfo_ = addButton(QStringLiteral("cmdInfo"), kInfo, twipsRect(7440, 4440, 1332, 492));
    setTabOrder(cmdStart_, cmdStop_);
    setTabOrder(cmdStop_, cmdSetting_);
    setTabOrder(cmdSetting_, cmdInfo_);
    connect(cmdStart_, &QPushButton::clicked, this, &MainWindow::startAction);
    connect(cmdStop_, &QPushButton::clicked, this, &MainWindow::stopAction);
    connect(cmdSetting_, &QPushButton::clicked, this, &MainWindow::openSettings);
    connect(cmdInfo_, &QPushButton::clicked, this, &MainWindow::openAbout);

    timer1_.setSingleShot(true);
    timer1_.setInterval(kStartUpDelayMs);
    connect(&timer1_, &QTimer::timeout, this, &MainWindow::startUpStep);
}

MainWindow::~MainWindow() {
    setBusy(false);
}

void MainWindow::startUp() {
    setFolderText(QString::fromStdString(settings_.Folder));
    // No click may land before the start-up step has set the buttons' mode.
    setEnabled(false);
    if (settings_.StartUpSize == 1) {
        showMinimized();
    } else {
        showNormal();
    }
    cmdStart_->setFocus();
    timer1_.start();
}

void MainWindow::startUpStep() {
    setEnabled(true);
    if (settings_.AutoStart == 1) {
        running_ = true;
        setCommButtons(1);
        services_.reception.start(settings_, false);
    } else {
        running_ = false;
        setCommButtons(0);
    }
}

void MainWindow::setCommButtons(int mode) {
    const bool runningMode = mode != 0;
    cmdStart_->setEnabled(!runningMode);
    cmdStop_->setEnabled(runningMode);
    lampIdle_->setVisible(!runningMode);
    lampRunning_->setVisible(runningMode);
    cmdSetting_->setEnabled(!runningMode);
    cmdInfo_->setEnabled(!runningMode);
}

void MainWindow::sessionButtons(int mode) {
    running_ = mode != 0;
    setCommButtons(mode);
}

void MainWindow::startAction() {
    running_ = true;
    setCommButtons(1);
    services_.reception.start(settings_, true);
}

void MainWindow::stopAction() {
    running_ = false;
    setCommButtons(0);
    services_.reception.stop();
}

void MainWindow::showStatus(int mode, const std::string& text) {
    setStatusText(applyLabelMode(statusText_, mode, text));
}

void MainWindow::showError(int mode, const std::string& text) {
    setErrorText(applyLabelMode(errorText_, mode, text));
}

void MainWindow::setStatusText(const std::string& text) {
    statusText_ = text;
    lblStatus_->setText(forDisplay(text));
}

void MainWindow::setErrorText(const std::string& text) {
    errorText_ = text;
    lblErr_->setText(forDisplay(text));
}

void MainWindow::setFileText(const std::string& text) {
    lblFile_->setText(QString::fromStdString(text));
}

void MainWindow::setStartText(const std::string& text) {
    lblStart_->setText(QString::fromStdString(text));
}

void MainWindow::setStopText(const std::string& text) {
    lblStop_->setText(QString::fromStdString(text));
}

void MainWindow::setProgress(int maximum, int value, bool visible) {
    // A range of 0..0 would turn the bar into a busy indicator; an empty transfer shows empty.
    progbar_->setRange(0, std::max(1, maximum));
    progbar_->setValue(value);
    progbar_->setVisible(visible);
}

void MainWindow::setBusy(bool busy) {
    if (busy == busy_) {
        return;
    }
    busy_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void MainWindow::setFolderText(const QString& folder) {
    lblFolder_->setText(folder);
}

void MainWindow::openSettings() {
    auto* dialog =
        new SettingsDialog(this, settings_, services_.chooser, [this](const Settings& workingCopy) {
            services_.saveSettings(workingCopy);
            setFolderText(QString::fromStdString(settings_.Folder));
        });
    openDialog_ = dialog;
    dialog->show();
}

void MainWindow::openAbout() {
    auto* box = new AboutBox(this);
    openDialog_ = box;
    box->show();
}

void MainWindow::openHistory() {
    services_.opener.open(historyFilePath(settings_.Folder, dateText(services_.clock.localNow())));
}

void MainWindow::openOutput() {
    const std::string path =
        outputFilePath(lblFolder_->text().toStdString(), lblFile_->text().toStdString());
    if (!path.empty()) {
        services_.opener.open(path);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window manager delivers a close to a window its dialog keeps disabled; going away then
    // would leave the dialog without its window.
    if (openDialog_) {
        event->ignore();
        return;
    }
    if (running_) {
        // Closing never pulls the program from under a running session: it becomes a stop, and a
        // second close once reception is idle ends the program.
        stopAction();
        event->ignore();
        return;
    }
    timer1_.stop();
    event->accept();
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    showMinimized();
}

DoubleClickLabel* MainWindow::addLabel(const QString& name, const QString& caption,
                                       const QRect& geometry, bool framed) {
    auto* label = new DoubleClickLabel(caption, this);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setTextFormat(Qt::PlainText);
    if (framed) {
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
    }
    return label;
}

QPushButton* MainWindow::addButton(const QString& name, const QString& caption,
                                   const QRect& geometry) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

}  // namespace karune::ui
