#include "ui/win32/NotepadOpener.h"

#include <windows.h>

#include "platform/PortErrors.h"
#include "ui/win32/WideText.h"

namespace karune::ui {

namespace {

constexpr wchar_t kEditor[] = L"notepad.exe";

}  // namespace

bool NotepadOpener::open(const std::string& path) {
    // A file name cannot hold a double quote, so quoting is all the command line needs.
    std::wstring commandLine = std::wstring(kEditor) + L" \"" + widen(path) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process) == 0) {
        lastError_ = systemErrorReason(static_cast<int>(GetLastError()));
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    lastError_.clear();
    return true;
}

}  // namespace karune::ui
