#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "config/Settings.h"
#include "link/Clock.h"
#include "ui/core/FileOpener.h"
#include "ui/core/ReceptionControl.h"
#include "ui/settings/ChooserServices.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace karune::ui {

class DoubleClickLabel;
class Lamp;

// What the main window needs besides the settings record.
struct MainWindowServices {
    ReceptionControl& reception;
    FileOpener& opener;
    const Clock& clock;  // the date of the month's history file
    // Writes a working copy to the settings file and takes it over into the program's settings.
    std::function<void(const Settings&)> saveSettings;
    ChooserServices chooser;
};

// The operator's window: start, stop, settings and version buttons, the idle and running lamps,
// the file, folder, status, error, start and end fields and the progress bar.
//
// Everything runs on the window's thread; the session's reports arrive through WindowDisplay.
// `settings` is the program's record and must outlive the window. A close request is ignored
// while the settings dialog or the about box is open, and turned into a stop while reception runs.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("KARUNE_MODEM for Windows");
    static constexpr int kStartUpDelayMs = 500;

    MainWindow(Settings& settings, MainWindowServices services);
    ~MainWindow() override;

    // Shows the window as the settings ask (normal or minimised) and, half a second after, enables
    // it and either starts reception (automatic start) or sets the idle buttons. Until then the
    // window takes no input and the buttons keep their design state.
    void startUp();

    // Idle (0) or running (1): which of start and stop is enabled, which lamp shows, and whether
    // settings and version are enabled.
    void setCommButtons(int mode);
    // The session reports that it ended for good (mode 0) or runs (1); the window's notion of a
    // running reception follows.
    void sessionButtons(int mode);

    void startAction();
    void stopAction();
    bool running() const { return running_; }

    // The two label writers: mode 0 replaces, 1 appends on a new line, 2 appends, others ignore.
    void showStatus(int mode, const std::string& text);
    void showError(int mode, const std::string& text);

    // Whole new contents, as the session sends them.
    void setStatusText(const std::string& text);
    void setErrorText(const std::string& text);
    void setFileText(const std::string& text);
    void setStartText(const std::string& text);
    void setStopText(const std::string& text);
    void setProgress(int maximum, int value, bool visible);
    void setBusy(bool busy);

    std::string statusText() const { return statusText_; }
    std::string errorText() const { return errorText_; }
    // The folder field; the settings dialog's save refreshes it.
    void setFolderText(const QString& folder);

    void openSettings();
    void openAbout();
    void openHistory();
    void openOutput();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void startUpStep();
    DoubleClickLabel* addLabel(const QString& name, const QString& caption, const QRect& geometry,
                               bool framed);
    QPushButton* addButton(const QString& name, const QString& caption, const QRect& geometry);

    Settings& settings_;
    MainWindowServices services_;
    bool running_ = false;
    bool busy_ = false;
    std::string statusText_;
    std::string errorText_;
    QTimer timer1_;
    // The settings dialog or the about box while it keeps the window disabled.
    QPointer<QWidget> openDialog_;

    DoubleClickLabel* lblFile_;
    DoubleClickLabel* lblFolder_;
    DoubleClickLabel* lblStatus_;
    DoubleClickLabel* lblErr_;
    DoubleClickLabel* lblStart_;
    DoubleClickLabel* lblStop_;
    DoubleClickLabel* label3_;
    QProgressBar* progbar_;
    QPushButton* cmdStart_;
    QPushButton* cmdStop_;
    QPushButton* cmdSetting_;
    QPushButton* cmdInfo_;
    Lamp* lampIdle_;
    Lamp* lampRunning_;
};

}  // namespace karune::ui
