#include "ui/qt/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "ui/qt/AboutBox.h"
#include "ui/qt/Artwork.h"
#include "ui/qt/DoubleClickLabel.h"
#include "ui/qt/JapaneseFont.h"
#include "ui/qt/Lamp.h"
#include "ui/qt/SettingsDialog.h"

namespace karune::ui {

MainWindow::MainWindow(Settings& settings, MainWindowServices services, ChooserServices chooser)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                           Qt::CustomizeWindowHint),
      settings_(settings),
      chooser_(std::move(chooser)),
      controls_(mainWindowSpec(), *this),
      logic_(settings, *this, std::move(services)) {
    setWindowIcon(programIcon());
    // The arrows of the times label point at the start and end times.
    controls_.get<QLabel>("Label3")->setFont(arrowsFont());
    const auto clicked = [this](const char* button, void (MainWindow::*action)()) {
        connect(controls_.get<QPushButton>(button), &QPushButton::clicked, this, action);
    };
    const auto toLogic = [this](const char* button, void (MainWindowLogic::*action)()) {
        connect(controls_.get<QPushButton>(button), &QPushButton::clicked, this,
                [this, action] { (logic_.*action)(); });
    };
    toLogic("cmdComm0", &MainWindowLogic::startAction);
    toLogic("cmdComm1", &MainWindowLogic::stopAction);
    clicked("cmdSetting", &MainWindow::openSettings);
    clicked("cmdInfo", &MainWindow::openAbout);
    connect(controls_.get<DoubleClickLabel>("Label3"), &DoubleClickLabel::doubleClicked, this,
            [this] { logic_.openHistory(); });
    connect(controls_.get<DoubleClickLabel>("lblFile"), &DoubleClickLabel::doubleClicked, this,
            [this] { logic_.openOutput(); });

    timer1_.setSingleShot(true);
    timer1_.setInterval(MainWindowLogic::kStartUpDelayMs);
    connect(&timer1_, &QTimer::timeout, this, [this] { logic_.startUpStep(); });
}

MainWindow::~MainWindow() {
    setBusy(false);
}

void MainWindow::startUp() {
    logic_.startUp();
    controls_.get<QPushButton>("cmdComm0")->setFocus();
    timer1_.start();
}

void MainWindow::openSettings() {
    opened(new SettingsDialog(this, settings_, chooser_,
                              [this](const Settings& copy) { logic_.saveSettings(copy); }));
}

void MainWindow::openAbout() {
    opened(new AboutBox(this));
}

void MainWindow::opened(QDialog* dialog) {
    openDialog_ = dialog;
    logic_.dialogOpened();
    connect(dialog, &QDialog::finished, this, [this] { logic_.dialogClosed(); });
    dialog->show();
}

void MainWindow::showButtons(const CommButtons& buttons) {
    controls_.get<QPushButton>("cmdComm0")->setEnabled(buttons.start);
    controls_.get<QPushButton>("cmdComm1")->setEnabled(buttons.stop);
    controls_.get<QPushButton>("cmdSetting")->setEnabled(buttons.setting);
    controls_.get<QPushButton>("cmdInfo")->setEnabled(buttons.info);
    controls_.get<Lamp>("Status0")->setVisible(buttons.idleLamp);
    controls_.get<Lamp>("Status1")->setVisible(buttons.runningLamp);
}

void MainWindow::showText(std::string_view control, const std::string& text) {
    // Labels show line breaks; the texts keep the CR LF the session and its files use.
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    controls_.get<QLabel>(control)->setText(shown);
}

void MainWindow::showProgress(int maximum, int value, bool visible) {
    auto* bar = controls_.get<QProgressBar>("Progbar");
    // A range of 0..0 would turn the bar into a busy indicator; an empty transfer shows empty.
    bar->setRange(0, std::max(1, maximum));
    bar->setValue(value);
    bar->setVisible(visible);
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

void MainWindow::setInputEnabled(bool enabled) {
    setEnabled(enabled);
}

void MainWindow::showWindow(bool minimised) {
    if (minimised) {
        showMinimized();
    } else {
        showNormal();
    }
}

void MainWindow::minimise() {
    showMinimized();
}

void MainWindow::closeDialogs() {
    if (QDialog* dialog = openDialog_.data(); dialog != nullptr) {
        dialog->reject();
    }
}

void MainWindow::quit() {
    // Not quit(): that asks the windows to close first, which a running reception would refuse.
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (logic_.closeRequested() != CloseDecision::Close) {
        event->ignore();
        return;
    }
    timer1_.stop();
    event->accept();
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    logic_.backgroundDoubleClicked();
}

}  // namespace karune::ui
