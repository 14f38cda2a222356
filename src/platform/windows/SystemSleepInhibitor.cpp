#include "platform/SystemSleepInhibitor.h"

#include <windows.h>

#include <filesystem>
#include <utility>

#include "config/Utf8Path.h"
#include "platform/PortErrors.h"

namespace karune {
namespace {

HANDLE requestOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

SystemSleepInhibitor::SystemSleepInhibitor(std::string reason, Refusal refused)
    : reason_(std::move(reason)), refused_(std::move(refused)) {}

SystemSleepInhibitor::~SystemSleepInhibitor() {
    release();
}

// A power request rather than SetThreadExecutionState: it belongs to no thread, and it keeps the
// system awake for a service as well as for the window.
void SystemSleepInhibitor::hold() {
    if (handle_ != -1)
        return;
    std::wstring reason = pathFromUtf8(reason_).wstring();
    REASON_CONTEXT context{};
    context.Version = POWER_REQUEST_CONTEXT_VERSION;
    context.Flags = POWER_REQUEST_CONTEXT_SIMPLE_STRING;
    context.Reason.SimpleReasonString = reason.data();
    auto refuse = [this](DWORD error) {
        if (refused_)
            refused_("Windows did not grant a power request: " +
                     systemErrorReason(static_cast<int>(error)));
    };
    const HANDLE request = PowerCreateRequest(&context);
    if (request == INVALID_HANDLE_VALUE) {
        refuse(GetLastError());
        return;
    }
    if (!PowerSetRequest(request, PowerRequestSystemRequired)) {
        refuse(GetLastError());
        CloseHandle(request);
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(request);
}

void SystemSleepInhibitor::release() {
    if (handle_ == -1)
        return;
    const HANDLE request = requestOf(std::exchange(handle_, -1));
    PowerClearRequest(request, PowerRequestSystemRequired);
    CloseHandle(request);
}

}  // namespace karune
