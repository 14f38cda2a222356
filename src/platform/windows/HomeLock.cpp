#include "platform/HomeLock.h"

#include <windows.h>

#include <system_error>

namespace karune {

// A folder cannot be opened exclusively for long, so a lock file stands for it: opened without
// sharing, and deleted by the system when the last handle goes, also when the process is killed.
HomeLock::HomeLock(const std::filesystem::path& folder) {
    const std::filesystem::path lockFile = folder / L"karune-modem.lock";
    const HANDLE file =
        CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        outcome_ = error == ERROR_SHARING_VIOLATION ? Outcome::HeldByAnother : Outcome::Failed;
        error_ = std::system_category().message(static_cast<int>(error));
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    outcome_ = Outcome::Held;
}

HomeLock::~HomeLock() {
    if (outcome_ == Outcome::Held)
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace karune
