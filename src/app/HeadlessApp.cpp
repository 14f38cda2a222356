#include "app/HeadlessApp.h"

#include <iostream>

#include "platform/ConsoleDisplay.h"
#include "platform/ConsoleMessages.h"
#include "platform/StopSignals.h"
#include "platform/SystemClock.h"
#include "platform/SystemSerialPorts.h"
#include "session/Reception.h"

namespace karune {
namespace {

constexpr const char* kDefaultMessageTitle = "Karune_modem";

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
    return serveHeadless(startup, std::cout, std::cerr, target, stopRequested);
}

int serveHeadless(const Startup& startup, std::ostream& out, std::ostream& err, StopTarget& target,
                  const std::atomic<bool>& stopRequested) {
    ConsoleMessages messages(err, kDefaultMessageTitle);
    LoadResult loaded = LoadSettings(settingsEnvironment(startup, messages));
    if (loaded.endProgram)
        return 1;

    SystemClock clock;
    SystemSerialPorts ports(clock);
    ConsoleDisplay display(out);
    if (loaded.statusText)
        display.setStatusText(*loaded.statusText);

    Reception service({ports, clock, display, messages}, loaded.backFile);
    const StopTarget::Attachment attached(target, service);
    service.start(loaded.settings);
    // A stop request that came before the start found nothing to stop.
    if (stopRequested)
        service.stop();
    service.waitUntilIdle();

    if (stopRequested)
        return 0;
    return service.lastTransferCompleted() ? 0 : 1;
}

}  // namespace karune
