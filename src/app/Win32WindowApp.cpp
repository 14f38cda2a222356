// The program with its window on Windows: the Win32 front end over the shared window logic.
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "app/StartupRefusal.h"
#include "app/WindowApp.h"
#include "platform/PortNames.h"
#include "platform/StopSignals.h"
#include "platform/SystemClock.h"
#include "platform/SystemSerialPorts.h"
#include "platform/SystemSleepInhibitor.h"
#include "session/Reception.h"
#include "ui/core/ReceptionControl.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/MessageBoxMessages.h"
#include "ui/win32/MessageLoop.h"
#include "ui/win32/NotepadOpener.h"
#include "ui/win32/PostedCalls.h"
#include "ui/win32/WindowDisplay.h"
#include "ui/win32/WindowsFolderSource.h"

namespace karune {
namespace {

constexpr const char* kViewerFailed = "notepad.exe を起動できませんでした : ";

// One program serves every mode, so it stays a console program: --headless, --convert and --set
// keep their console output, Ctrl+C and exit status. Started from Explorer, Windows made a console
// for this process alone; the window lets it go at once. Started from a console, it keeps it.
void releaseOwnConsole() {
    DWORD processes[2] = {};
    if (GetConsoleProcessList(processes, 2) == 1)
        FreeConsole();
}

void initialiseCommonControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);
}

// The end of the session, as a logoff waits for it on the window's thread (whose queue is not
// running then).
class SessionEnd {
public:
    // The waiter tests the reception under the lock: taking it here orders this after its test.
    void reached() {
        { const std::lock_guard lock(mutex_); }
        changed_.notify_all();
    }
    bool waitFor(std::chrono::milliseconds bound, const Reception& reception) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, bound, [&] { return !reception.active(); });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

}  // namespace

int runWindow(int&, char**, const Startup& startup) {
    ui::PostedCalls calls;
    ui::MainWindow* window = nullptr;
    // Ctrl+C or closing the console the program was started from: as a logoff.
    StopSignals stopSignals([&calls, &window] {
        calls.post([&window] {
            if (window != nullptr)
                window->logic().endRequested();
        });
    });
    releaseOwnConsole();
    initialiseCommonControls();

    ui::MessageBoxMessages messages(calls);
    const SettingsEnvironment environment = settingsEnvironment(startup, messages);
    LoadResult loaded = LoadSettings(environment);
    if (loaded.endProgram)
        return 1;
    Settings settings = loaded.settings;

    SystemClock clock;
    SystemSerialPorts ports(clock);
    ui::LateReception control;
    ui::NotepadOpener opener;
    ui::WindowsFolderSource folders;
    SessionEnd sessionEnd;
    Reception* running = nullptr;
    ui::MainWindow mainWindow(
        settings,
        ui::MainWindowServices{
            control, opener, clock,
            [&](const Settings& workingCopy) { SaveSettings(environment, workingCopy, settings); },
            [&](const std::string& path) {
                messages.show({{},
                               kViewerFailed + opener.lastError() + "\r\n" + path,
                               MessageIcon::Critical});
            },
            portMappingLabel},
        ui::Win32Services{calls, folders,
                          [&](std::chrono::milliseconds bound) {
                              return running == nullptr || sessionEnd.waitFor(bound, *running);
                          },
                          [&] { return running != nullptr && running->flags().callInProgress; }});
    window = &mainWindow;
    if (loaded.statusText)
        mainWindow.logic().showStatus(0, *loaded.statusText);

    ui::WindowDisplay display(calls, mainWindow.logic());
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
    Reception reception(services, loaded.backFile, [&] {
        sessionEnd.reached();
        calls.post([&mainWindow] { mainWindow.logic().sessionFinished(); });
    });
    running = &reception;
    control.attach(reception);
    if (stopSignals.received())
        return 0;

    mainWindow.startUp();
    return ui::runMessageLoop();
}

void showStartupRefusal(int&, char**, const std::string& text) {
    releaseOwnConsole();
    ui::showMessageBox(nullptr, OperatorMessage{{}, text, MessageIcon::Critical});
}

}  // namespace karune
