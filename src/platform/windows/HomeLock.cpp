#include "platform/HomeLock.h"

#include <windows.h>

#include <system_error>
#include <thread>
#include <utility>

namespace karune {

namespace {

constexpr std::chrono::milliseconds kRetryPause{100};

HANDLE openLockFile(const std::filesystem::path& lockFile) {
    return CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

}  // namespace

// A folder cannot be opened exclusively for long, so a lock file stands for it: opened without
// sharing, and deleted by the system when the last handle goes, also when the process is killed.
// While the system is still deleting the file of a program that has just ended (its handle not yet
// closed everywhere, a virus scanner looking at it), opening it fails with "access denied": the
// file is still there, so that is the old hold, and it is released in a moment.
HomeLock::HomeLock(const std::filesystem::path& folder, std::chrono::milliseconds patience) {
    const std::filesystem::path lockFile = folder / L"karune-modem.lock";
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    HANDLE file = openLockFile(lockFile);
    DWORD error = GetLastError();
    bool releasing = false;
    bool openedAfterItWent = false;
    while (file == INVALID_HANDLE_VALUE && error == ERROR_ACCESS_DENIED) {
        if (GetFileAttributesW(lockFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
            // Gone between the open and this look: the next open takes it. A folder that refuses
            // the file itself refuses it again.
            if (std::exchange(openedAfterItWent, true))
                break;
        } else {
            releasing = true;
            if (std::chrono::steady_clock::now() >= giveUp)
                break;
            std::this_thread::sleep_for(kRetryPause);
        }
        file = openLockFile(lockFile);
        error = GetLastError();
    }
    if (file == INVALID_HANDLE_VALUE) {
        outcome_ = error == ERROR_SHARING_VIOLATION ? Outcome::HeldByAnother
                   : releasing                      ? Outcome::StillHeld
                                                    : Outcome::Failed;
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
