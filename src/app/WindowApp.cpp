#include "app/WindowApp.h"

#include <QApplication>

#include <atomic>

#include "platform/StopSignals.h"
#include "platform/SystemClock.h"
#include "platform/SystemSerialPorts.h"
#include "session/Reception.h"
#include "session/StopTarget.h"
#include "ui/core/ProgramInfo.h"
#include "ui/main/DesktopFileOpener.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MessageBoxMessages.h"
#include "ui/core/ReceptionControl.h"
#include "ui/main/WindowDisplay.h"
#include "ui/settings/FileSystemRoots.h"

namespace karune {
namespace {

// From any thread; nothing before the application exists (start-up then checks the signal itself).
void postQuit() {
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, &QCoreApplication::quit, Qt::QueuedConnection);
}

}  // namespace

int runWindow(int& argc, char** argv, const Startup& startup) {
    // A logout or a service manager ends the program with SIGTERM: stop reception as the stop
    // button does and quit once the call in progress is closed. Set up before Qt starts threads.
    std::atomic<bool> quitting{false};
    StopTarget target;
    StopSignals stopSignals([&] {
        target.request([&](Reception* reception) {
            quitting = true;
            if (reception != nullptr)
                reception->stop();
            if (reception == nullptr || !reception->active())
                postQuit();
        });
    });

    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(ui::kProgramTitle));
    QApplication::setOrganizationName(QString::fromUtf8(ui::kCompanyName));

    ui::MessageBoxPresenter presenter;
    ui::MessageBoxMessages messages(presenter);
    const SettingsEnvironment environment = settingsEnvironment(startup, messages);
    LoadResult loaded = LoadSettings(environment);
    if (loaded.endProgram)
        return 1;
    Settings settings = loaded.settings;

    SystemClock clock;
    SystemSerialPorts ports(clock);
    ui::LateReception control;
    ui::DesktopFileOpener opener;
    ui::MountedRoots roots;
    ui::MainWindow window(
        settings,
        ui::MainWindowServices{
            control, opener, clock,
            [&](const Settings& workingCopy) { SaveSettings(environment, workingCopy, settings); },
            ui::ChooserServices{roots, messages, [] { QApplication::beep(); }}});
    window.setFolderText(QString::fromStdString(settings.Folder));
    if (loaded.statusText)
        window.showStatus(0, *loaded.statusText);

    ui::WindowDisplay display(window);
    // Declared last: destroyed first, so that no session outlives the window it reports into.
    Reception reception({ports, clock, display, messages}, loaded.backFile, [&] {
        if (quitting)
            postQuit();
    });
    const StopTarget::Attachment attached(target, reception);
    control.attach(reception);
    if (stopSignals.received())
        return 0;

    window.startUp();
    return QApplication::exec();
}

}  // namespace karune
