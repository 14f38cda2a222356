#include "app/HeadlessApp.h"

#include <iostream>

#include "config/Utf8Path.h"
#include "platform/ConsoleDisplay.h"
#include "platform/ConsoleMessages.h"
#include "platform/PortNames.h"
#include "platform/ProgramEnvironment.h"
#include "platform/StopSignals.h"
#include "platform/StreamLog.h"
#include "platform/SystemClock.h"
#include "platform/SystemSerialPorts.h"
#include "platform/SystemSleepInhibitor.h"
#include "session/Reception.h"

namespace karune {
namespace {

constexpr const char* kDefaultMessageTitle = "Karune_modem";

// "karune-modem 3.4.0 started: home /srv/line1, COM1 = /dev/ttyUSB0 (KARUNE_COM1)"
std::string startLine(const Startup& startup, int port) {
    const std::string variable = portEnvironmentName(port);
    const std::optional<std::string> mapped = environmentText(variable);
    const std::string device =
        mapped && !mapped->empty() ? *mapped + " (" + variable + ")" : systemPortDevice(port);
    return "karune-modem " KARUNE_VERSION " started: home " +
           utf8FromPath(startup.paths.programFolder) + ", COM" + std::to_string(port) + " = " +
           device;
}

void writeStopLine(LogSink& log, bool stopRequested, bool autoStart, bool completed,
                   const std::string& errorText) {
    const std::string why = errorText.empty() ? "" : ": " + errorText;
    if (stopRequested)
        log.write(Severity::Notice, "karune-modem stopped: stop requested");
    else if (autoStart)
        log.write(Severity::Error, "karune-modem stopped: reception ended without a stop" + why);
    else if (completed)
        log.write(Severity::Notice,
                  "karune-modem stopped after one call (AutoStart=0): the transfer completed");
    else
        log.write(Severity::Warning,
                  "karune-modem stopped after one call (AutoStart=0): no completed transfer" + why);
}

}  // namespace

int runHeadless(const Startup& startup) {
    StopTarget target;
    std::atomic<bool> stopRequested{false};
    // First, before any thread exists, so that every thread leaves the signals to the watcher.
    StopSignals stopSignals(
        [&] {
            stopRequested = true;
            target.request([](Reception* reception) {
                if (reception != nullptr)
                    reception->stop();
            });
        },
        [&target] {
            bool busy = false;
            target.request([&busy](Reception* reception) {
                busy = reception != nullptr && reception->flags().callInProgress;
            });
            return busy;
        });
    StreamLog out(std::cout, isJournal(StandardStream::Output));
    StreamLog err(std::cerr, isJournal(StandardStream::Error));
    return serveHeadless(startup, out, err, target, stopRequested);
}

int serveHeadless(const Startup& startup, LogSink& out, LogSink& err, StopTarget& target,
                  const std::atomic<bool>& stopRequested) {
    ConsoleMessages messages(err, kDefaultMessageTitle);
    LoadResult loaded = LoadSettings(settingsEnvironment(startup, messages));
    if (loaded.endProgram) {
        err.write(Severity::Error, "karune-modem stopped: the settings file could not be written");
        return 1;
    }
    err.write(Severity::Notice, startLine(startup, loaded.settings.Port));

    SystemClock clock;
    // A listening line's refusals, with the caller's address, where the administrator looks.
    SystemSerialPorts ports(clock, [&err](const std::string& connection) {
        err.write(Severity::Warning, "karune-modem: " + connection);
    });
    ConsoleDisplay display(out);
    if (loaded.statusText)
        display.setStatusText(*loaded.statusText);

    SystemSleepInhibitor awake(kReceptionSleepReason, [&err](const std::string& why) {
        err.write(Severity::Warning,
                  "karune-modem: the computer may sleep while reception runs: " + why);
    });
    Reception service({.ports = ports,
                       .clock = clock,
                       .display = display,
                       .messages = messages,
                       .sleep = awake,
                       .modemCheck = startup.modemCheck},
                      loaded.backFile);
    const StopTarget::Attachment attached(target, service);
    service.start(loaded.settings);
    // A stop request that came before the start found nothing to stop.
    if (stopRequested)
        service.stop();
    service.waitUntilIdle();

    const bool completed = service.lastTransferCompleted();
    writeStopLine(err, stopRequested, loaded.settings.AutoStart == 1, completed,
                  display.errorText());
    if (stopRequested)
        return 0;
    return completed ? 0 : 1;
}

}  // namespace karune
