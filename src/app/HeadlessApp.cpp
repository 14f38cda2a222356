#include "app/HeadlessApp.h"

#include <iostream>

#include "platform/ConsoleDisplay.h"
#include "platform/ConsoleMessages.h"
#include "platform/StopSignals.h"
#include "platform/SystemClock.h"
#include "platform/SystemSerialPorts.h"
#include "session/Reception.h"
#include "session/StopTarget.h"

namespace karune {
namespace {

constexpr const char* kDefaultMessageTitle = "Karune_modem";

}  // namespace

int runHeadless(const Startup& startup) {
    StopTarget target;
    // First, before any thread exists, so that every thread leaves the signals to the watcher.
    StopSignals stopSignals([&target] {
        target.request([](Reception* reception) {
            if (reception != nullptr)
                reception->stop();
        });
    });

    ConsoleMessages messages(std::cerr, kDefaultMessageTitle);
    LoadResult loaded = LoadSettings(settingsEnvironment(startup, messages));
    if (loaded.endProgram)
        return 1;

    SystemClock clock;
    SystemSerialPorts ports(clock);
    ConsoleDisplay display(std::cout);
    if (loaded.statusText)
        display.setStatusText(*loaded.statusText);

    Reception service({ports, clock, display, messages}, loaded.backFile);
    const StopTarget::Attachment attached(target, service);
    service.start(loaded.settings);
    // A signal that came before the start found nothing to stop.
    if (stopSignals.received())
        service.stop();
    service.waitUntilIdle();

    if (stopSignals.received())
        return 0;
    return service.lastTransferCompleted() ? 0 : 1;
}

}  // namespace karune
