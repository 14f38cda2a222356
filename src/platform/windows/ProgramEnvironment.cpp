#include "platform/ProgramEnvironment.h"

#include <fcntl.h>
#include <io.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "config/Utf8Path.h"

namespace karune {

// The narrow argv holds the ANSI code page's rendering of the command line, which loses every
// character outside it; the wide one is what the user typed.
std::vector<std::string> programArguments(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide != nullptr && i < count; ++i)
        args.push_back(utf8FromPath(std::filesystem::path(wide[i])));
    LocalFree(wide);
    return args;
}

std::filesystem::path runningProgram(const char* argv0) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return argv0 != nullptr ? std::filesystem::path(argv0) : std::filesystem::path();
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

namespace {

std::string knownFolder(REFKNOWNFOLDERID id) {
    wchar_t* folder = nullptr;
    std::string path;
    if (SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &folder) == S_OK)
        path = utf8FromPath(std::filesystem::path(folder));
    CoTaskMemFree(folder);
    return path;
}

}  // namespace

std::string userDocumentsFolder() {
    return knownFolder(FOLDERID_Documents);
}

std::string userHomeFolder() {
    return knownFolder(FOLDERID_Profile);
}

bool isJournal(StandardStream) {
    return false;
}

// Through the wide environment, so that any name survives.
std::optional<std::string> environmentText(const std::string& name) {
    const wchar_t* value = _wgetenv(std::wstring(name.begin(), name.end()).c_str());
    if (value == nullptr)
        return std::nullopt;
    return utf8FromPath(std::filesystem::path(value));
}

void useBinaryConsole() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void failDriveErrorsQuietly() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

}  // namespace karune
