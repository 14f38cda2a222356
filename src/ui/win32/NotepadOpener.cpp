#include "ui/win32/NotepadOpener.h"

#include <windows.h>

#include "platform/PortErrors.h"
#include "ui/win32/WideText.h"

namespace karune::ui {

namespace {

constexpr wchar_t kEditor[] = L"notepad.exe";

// Notepad of the system folder: a search by name would look in the program's folder and in the
// current one first, and start whatever "notepad.exe" lies there.
std::wstring systemEditor() {
    std::wstring folder(MAX_PATH, L'\0');
    const UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    folder.resize(length < folder.size() ? length : 0);
    return folder + L"\\" + kEditor;
}

}  // namespace

bool NotepadOpener::open(const std::string& path) {
    const std::wstring editor = systemEditor();
    // A file name cannot hold a double quote, so quoting is all the command line needs.
    std::wstring commandLine = L"\"" + editor + L"\" \"" + widen(path) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(editor.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process) == 0) {
        lastError_ = systemErrorReason(static_cast<int>(GetLastError()));
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    lastError_.clear();
    return true;
}

}  // namespace karune::ui
