#include "app/ServiceApp.h"

#include <atomic>
#include <fstream>
#include <iostream>

#include "app/HeadlessApp.h"
#include "platform/StreamLog.h"
#include "platform/windows/ServiceControl.h"
#include "session/StopTarget.h"

namespace karune {
namespace {

constexpr const wchar_t* kLogName = L"karune-modem.log";

}  // namespace

int runService(const Startup& startup) {
    StopTarget target;
    std::atomic<bool> stopRequested{false};
    auto stop = [&] {
        stopRequested = true;
        target.request([](Reception* reception) {
            if (reception != nullptr)
                reception->stop();
        });
    };
    auto serve = [&] {
        std::ofstream log(startup.paths.programFolder / kLogName, std::ios::binary | std::ios::app);
        StreamLog out(log ? static_cast<std::ostream&>(log) : std::cerr);
        const int status = serveHeadless(startup, out, out, target, stopRequested);
        // A service that ends without being asked to has failed, whatever its last call did.
        return stopRequested ? 0 : (status == 0 ? 1 : status);
    };
    if (!runUnderServiceManager(stop, serve)) {
        std::cerr << "karune-modem: --service is for the service control manager (sc create ... "
                     "binPath= \"...\\karune-modem.exe --service --home DIR\"); --headless runs "
                     "in a console\n";
        return 2;
    }
    return 0;
}

}  // namespace karune
