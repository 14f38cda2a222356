#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "config/Settings.h"
#include "ui/core/MainWindowLogic.h"
#include "ui/qt/ChooserServices.h"
#include "ui/qt/Controls.h"

class QDialog;

namespace karune::ui {

// The operator's window on Qt: the controls of mainWindowSpec(), shown as MainWindowLogic says,
// with every event handed to that logic. `settings` is the program's record and must outlive the
// window; the session's reports arrive through WindowDisplay.
class MainWindow : public QWidget, public MainWindowView {
    Q_OBJECT
public:
    MainWindow(Settings& settings, MainWindowServices services, ChooserServices chooser);
    ~MainWindow() override;

    MainWindowLogic& logic() { return logic_; }
    const Controls& controls() const { return controls_; }

    // Shows the window as the settings ask and runs the start-up step half a second after.
    void startUp();
    void openSettings();
    void openAbout();

    void showButtons(const CommButtons& buttons) override;
    void showText(std::string_view control, const std::string& text) override;
    void showProgress(int maximum, int value, bool visible) override;
    void setBusy(bool busy) override;
    void setInputEnabled(bool enabled) override;
    void showWindow(bool minimised) override;
    void minimise() override;
    void closeDialogs() override;
    void quit() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void opened(QDialog* dialog);

    Settings& settings_;
    ChooserServices chooser_;
    Controls controls_;
    MainWindowLogic logic_;
    bool busy_ = false;
    QTimer timer1_;
    // The settings dialog or the about box while it keeps the window disabled.
    QPointer<QDialog> openDialog_;
};

}  // namespace karune::ui
