#include "platform/PortErrors.h"

#include <windows.h>

namespace karune {

// Another program holding the port makes CreateFileW fail with "access denied".
PortFault classifyPortError(int error) {
    switch (static_cast<DWORD>(error)) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            return PortFault::NoDevice;
        case ERROR_GEN_FAILURE:
        case ERROR_NOT_READY:
        case ERROR_DEVICE_NOT_CONNECTED:
            return PortFault::NotResponding;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            return PortFault::InUse;
        case ERROR_INVALID_FUNCTION:
        case ERROR_INVALID_HANDLE:
        case ERROR_NOT_SUPPORTED:
            return PortFault::NotSerial;
        default:
            return PortFault::Other;
    }
}

// Without the line break the system ends its texts with.
std::string systemErrorReason(int code) {
    const auto error = static_cast<DWORD>(code);
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason;
    if (length > 0) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                             nullptr, nullptr);
        reason.resize(static_cast<std::size_t>(size));
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), reason.data(), size,
                            nullptr, nullptr);
    }
    LocalFree(text);
    reason.erase(reason.find_last_not_of("\r\n .") + 1);
    return reason;
}

}  // namespace karune
