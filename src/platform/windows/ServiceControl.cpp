#include "platform/windows/ServiceControl.h"

#include <utility>

namespace karune {
namespace {

// Loading the settings takes a moment; closing a call takes its closing sequence and whatever read
// is waiting when the stop comes.
constexpr DWORD kStartHintMs = 10000;
constexpr DWORD kStopHintMs = 30000;

}  // namespace

ServiceControl::ServiceControl(Report report, std::function<void()> stop)
    : report_(std::move(report)), stop_(std::move(stop)) {
    status_.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
}

void ServiceControl::starting() {
    report(SERVICE_START_PENDING, kStartHintMs);
}

void ServiceControl::running() {
    report(SERVICE_RUNNING, 0);
}

void ServiceControl::stopped(int exitCode) {
    const std::lock_guard lock(mutex_);
    status_.dwWin32ExitCode = exitCode == 0 ? NO_ERROR : ERROR_SERVICE_SPECIFIC_ERROR;
    status_.dwServiceSpecificExitCode = static_cast<DWORD>(exitCode);
    status_.dwCurrentState = SERVICE_STOPPED;
    status_.dwControlsAccepted = 0;
    status_.dwWaitHint = 0;
    status_.dwCheckPoint = 0;
    report_(status_);
}

DWORD ServiceControl::control(DWORD code) {
    switch (code) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN:
        case SERVICE_CONTROL_PRESHUTDOWN:
            report(SERVICE_STOP_PENDING, kStopHintMs);
            stop_();
            return NO_ERROR;
        case SERVICE_CONTROL_INTERROGATE:
            return NO_ERROR;
        default:
            return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void ServiceControl::report(DWORD state, DWORD waitHintMs) {
    const std::lock_guard lock(mutex_);
    // A stop already under way is not undone by a late "running".
    if (status_.dwCurrentState == SERVICE_STOP_PENDING && state == SERVICE_RUNNING)
        return;
    const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
    status_.dwCheckPoint =
        pending && state == status_.dwCurrentState ? status_.dwCheckPoint + 1 : 0;
    status_.dwCurrentState = state;
    status_.dwWaitHint = waitHintMs;
    status_.dwControlsAccepted =
        state == SERVICE_RUNNING
            ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN | SERVICE_ACCEPT_PRESHUTDOWN
            : 0;
    report_(status_);
}

namespace {

// ServiceMain gets nothing but its arguments from the dispatcher, so what it is to run waits here,
// set once before the dispatcher starts and read only by the service's thread.
struct ServiceWork {
    std::function<void()> stop;
    const ServeFunction* serve = nullptr;
};
ServiceWork* work = nullptr;

DWORD WINAPI onControl(DWORD code, DWORD, LPVOID, LPVOID context) {
    return static_cast<ServiceControl*>(context)->control(code);
}

void WINAPI serviceMain(DWORD, LPWSTR*) {
    // Reports go out only once the handle is known: the manager sends no control before the
    // service says it accepts one.
    SERVICE_STATUS_HANDLE handle = nullptr;
    ServiceControl service(
        [&handle](const SERVICE_STATUS& status) {
            SERVICE_STATUS copy = status;
            SetServiceStatus(handle, &copy);
        },
        work->stop);
    // For a service of its own process the manager ignores the name.
    handle = RegisterServiceCtrlHandlerExW(L"", onControl, &service);
    if (handle == nullptr)
        return;
    service.starting();
    service.stopped((*work->serve)([&service] { service.running(); }));
}

}  // namespace

bool runUnderServiceManager(std::function<void()> stop, const ServeFunction& serve) {
    ServiceWork here{std::move(stop), &serve};
    work = &here;
    wchar_t name[] = L"";
    const SERVICE_TABLE_ENTRYW table[] = {{name, serviceMain}, {nullptr, nullptr}};
    const bool dispatched = StartServiceCtrlDispatcherW(table) != 0;
    work = nullptr;
    return dispatched;
}

}  // namespace karune
