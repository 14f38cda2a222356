#include "platform/UserFolders.h"

// windows.h first: the shell's headers build on it.
#include <windows.h>

#include <shlobj.h>

#include <cwchar>
#include <string>

namespace karune {

std::filesystem::path perUserHomeFolder() {
    PWSTR local = nullptr;
    std::filesystem::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local)))
        folder = local;
    CoTaskMemFree(local);
    if (folder.empty()) {
        if (const wchar_t* fromEnvironment = _wgetenv(L"LOCALAPPDATA"); fromEnvironment != nullptr)
            folder = fromEnvironment;
    }
    return folder.empty() ? folder : folder / L"karune-modem";
}

// The access rules of a folder are too many to evaluate; creating a file tells for certain.
bool canCreateFilesIn(const std::filesystem::path& folder) {
    const std::filesystem::path probe =
        folder / (L"karune-modem-probe-" + std::to_wstring(GetCurrentProcessId()) + L".tmp");
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

}  // namespace karune
