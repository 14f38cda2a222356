#include "app/WindowApp.h"

#include <QApplication>

#include "platform/PortNames.h"
#include "platform/StopSignals.h"
#include "platform/SystemClock.h"
#include "platform/SystemSerialPorts.h"
#include "platform/SystemSleepInhibitor.h"
#include "session/Reception.h"
#include "session/StopTarget.h"
#include "ui/core/ProgramInfo.h"
#include "ui/core/ReceptionControl.h"
#include "ui/qt/DesktopFileOpener.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/MessageBoxMessages.h"
#include "ui/qt/MountedFolders.h"
#include "ui/qt/WindowDisplay.h"

namespace karune {
namespace {

// From any thread; nothing before the application exists (start-up then checks the signal itself).
void postQuit() {
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, &QCoreApplication::quit, Qt::QueuedConnection);
}

// Runs `call` with the window on the window's thread, from any thread.
template <typename Call>
void postToWindow(ui::MainWindow& window, Call call) {
    QMetaObject::invokeMethod(
        &window, [&window, call] { call(window.logic()); }, Qt::QueuedConnection);
}

}  // namespace

int runWindow(int& argc, char** argv, const Startup& startup) {
    // A logout or a service manager ends the program with SIGTERM: the window's end request closes
    // an open dialog, stops reception as the stop button does and quits once the call in progress
    // is closed. Set up before Qt starts threads.
    ui::MainWindow* endTarget = nullptr;  // published to the signal thread by the attachment
    StopTarget target;
    StopSignals stopSignals([&] {
        target.request([&](Reception* reception) {
            if (reception == nullptr)
                postQuit();
            else
                postToWindow(*endTarget, [](ui::MainWindowLogic& logic) { logic.endRequested(); });
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
    ui::MountedFolders folders;
    ui::MainWindow window(
        settings,
        ui::MainWindowServices{
            control,
            opener,
            clock,
            [&](const Settings& workingCopy) { SaveSettings(environment, workingCopy, settings); },
            {},
            portMappingLabel},
        ui::ChooserServices{folders, messages, [] { QApplication::beep(); }});
    window.logic().setFolderText(settings.Folder);
    if (loaded.statusText)
        window.logic().showStatus(0, *loaded.statusText);

    ui::WindowDisplay display(window);
    SystemSleepInhibitor awake(kReceptionSleepReason);
    // The window answers calls again by itself once a lost adapter or a silent modem is back.
    const SessionServices services{.ports = ports,
                                   .clock = clock,
                                   .display = display,
                                   .messages = messages,
                                   .retryLostPort = true,
                                   .sleep = awake,
                                   .modemCheck = startup.modemCheck};
    // Declared last: destroyed first, so that no session outlives the window it reports into.
    Reception reception(services, loaded.backFile, [&window] {
        postToWindow(window, [](ui::MainWindowLogic& logic) { logic.sessionFinished(); });
    });
    endTarget = &window;
    const StopTarget::Attachment attached(target, reception);
    control.attach(reception);
    if (stopSignals.received())
        return 0;

    window.startUp();
    return QApplication::exec();
}

}  // namespace karune
