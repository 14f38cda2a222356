#pragma once

#include <windows.h>

#include <functional>
#include <mutex>

namespace karune {

// The program's side of the service control manager: the status it reports and the controls it
// answers. Stop, shutdown and pre-shutdown all act as the stop button: `stop` is called (on the
// manager's thread) and the service reports that it is stopping, with a wait hint long enough for
// the call in progress to close. Every report goes through `report` (SetServiceStatus).
class ServiceControl {
public:
    using Report = std::function<void(const SERVICE_STATUS&)>;

    ServiceControl(Report report, std::function<void()> stop);

    void starting();
    // Accepts stop, shutdown and pre-shutdown from now on.
    void running();
    // Exit code 0 is a clean stop; any other is reported as a service-specific error, so that the
    // recovery actions of the service run.
    void stopped(int exitCode);
    // What the control handler returns for `code`.
    DWORD control(DWORD code);

private:
    void report(DWORD state, DWORD waitHintMs);

    std::mutex mutex_;
    Report report_;
    std::function<void()> stop_;
    SERVICE_STATUS status_{};
};

// Hands this process to the service control manager as its one service and runs `serve` on the
// service's thread, which returns the exit code. The service is starting until `serve` calls
// `running`; one that ends before that failed to start. `stop` is what the manager's stop requests
// call. False when the process was not started by the service control manager.
using ServeFunction = std::function<int(const std::function<void()>& running)>;
bool runUnderServiceManager(std::function<void()> stop, const ServeFunction& serve);

}  // namespace karune
