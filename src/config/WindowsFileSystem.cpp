// The file helpers of the core on Windows: the only place where it calls the system's file
// operations. Wide calls only, on paths in win32Path's form so that folders deeper than 260
// characters work whatever the system's long-path setting.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "config/FileSystem.h"

namespace karune {
namespace {

int errorOf(DWORD windowsError) {
    switch (windowsError) {
        case ERROR_ACCESS_DENIED:
            return EACCES;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EBUSY;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
            return ENOENT;
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS:
            return EEXIST;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_WRITE_PROTECT:
            return EROFS;
        case ERROR_INVALID_NAME:
            return EINVAL;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        default:
            return EIO;
    }
}

int lastError() {
    return errorOf(GetLastError());
}

bool hiddenName(const std::filesystem::path& path) {
    const std::wstring name = path.filename().native();
    return name.starts_with(L'.') && name != L"." && name != L"..";
}

HANDLE openHandle(const std::filesystem::path& file, DWORD access, DWORD sharing,
                  DWORD disposition) {
    const DWORD attributes = hiddenName(file) ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL;
    return CreateFileW(win32Path(file).c_str(), access, sharing, nullptr, disposition, attributes,
                       nullptr);
}

// Readers may look at a file while the program writes it; nobody else may write, rename or
// remove it meanwhile.
HANDLE openForWriting(const std::filesystem::path& file, DWORD disposition) {
    return openHandle(file, GENERIC_WRITE, FILE_SHARE_READ, disposition);
}

class HandleFile : public WrittenFile {
public:
    explicit HandleFile(HANDLE handle) : handle_(handle) {}
    ~HandleFile() override {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    HandleFile(const HandleFile&) = delete;
    HandleFile& operator=(const HandleFile&) = delete;

    int write(std::string_view bytes) override {
        return writeWhole(bytes, [this](std::string_view rest) {
            DWORD written = 0;
            const auto size = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 1u << 30));
            if (WriteFile(handle_, rest.data(), size, &written, nullptr))
                return static_cast<long>(written);
            errno = lastError();
            return -1L;
        });
    }
    int sync() override { return FlushFileBuffers(handle_) ? 0 : lastError(); }
    int truncate(std::uintmax_t length) override {
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(length);
        if (!SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN) || !SetEndOfFile(handle_))
            return lastError();
        return sync();
    }
    int close() override {
        const BOOL closed = CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed ? 0 : lastError();
    }
    // Empties the file, or moves to its end; its length then, negative on failure.
    long long prepare(FileSystem::Mode mode) {
        if (GetFileType(handle_) != FILE_TYPE_DISK)
            return 0;  // a device has no length to empty or to append at
        if (mode == FileSystem::Mode::Empty)
            return SetEndOfFile(handle_) ? 0 : -1;
        LARGE_INTEGER size{};
        const LARGE_INTEGER zero{};
        return SetFilePointerEx(handle_, zero, &size, FILE_END) ? size.QuadPart : -1;
    }

private:
    HANDLE handle_;
};

class HeldTurn : public FolderTurn {
public:
    explicit HeldTurn(HANDLE handle) : handle_(handle) {}
    ~HeldTurn() override { CloseHandle(handle_); }  // closing releases the lock
    HeldTurn(const HeldTurn&) = delete;
    HeldTurn& operator=(const HeldTurn&) = delete;

private:
    HANDLE handle_;
};

// Replacing or removing a file that another program has open fails with "access denied", as a
// write-protected one does; the two differ in whether the file can be opened for removal now.
bool heldByAnother(const std::filesystem::path& file) {
    const HANDLE probe = CreateFileW(win32Path(file).c_str(), DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(probe);
    return false;
}

// The hidden attribute follows the name a file is given.
void hideAsNamed(const std::filesystem::path& file, const std::filesystem::path& name) {
    const std::wstring path = win32Path(file);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    const DWORD wanted = hiddenName(name) ? attributes | FILE_ATTRIBUTE_HIDDEN
                                          : attributes & ~DWORD{FILE_ATTRIBUTE_HIDDEN};
    if (wanted != attributes)
        SetFileAttributesW(path.c_str(), wanted == 0 ? FILE_ATTRIBUTE_NORMAL : wanted);
}

class WindowsFileSystem : public FileSystem {
public:
    Opened open(const std::filesystem::path& file, Mode mode,
                const std::filesystem::path& /*permissionsOf*/) override {
        // Not CREATE_ALWAYS: it refuses to empty a hidden file.
        const HANDLE handle = openForWriting(file, OPEN_ALWAYS);
        if (handle == INVALID_HANDLE_VALUE)
            return {nullptr, lastError()};
        auto opened = std::make_unique<HandleFile>(handle);
        const long long length = opened->prepare(mode);
        if (length < 0)
            return {nullptr, lastError()};
        return {std::move(opened), 0, static_cast<std::uintmax_t>(length)};
    }

    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        hideAsNamed(from, to);
        if (MoveFileExW(win32Path(from).c_str(), win32Path(to).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        const DWORD error = GetLastError();
        return error == ERROR_ACCESS_DENIED && heldByAnother(to) ? EBUSY : errorOf(error);
    }

    int remove(const std::filesystem::path& file) override {
        return DeleteFileW(win32Path(file).c_str()) ? 0 : lastError();
    }

    int truncate(const std::filesystem::path& file, std::uintmax_t length) override {
        const HANDLE handle = openForWriting(file, OPEN_EXISTING);
        if (handle == INVALID_HANDLE_VALUE)
            return lastError();
        HandleFile cut(handle);
        if (const int err = cut.truncate(length))
            return err;
        return cut.close();
    }

    int syncFolder(const std::filesystem::path& /*folder*/) override { return 0; }

    int createFolder(const std::filesystem::path& folder) override {
        if (!CreateDirectoryW(win32Path(folder).c_str(), nullptr))
            return lastError();
        hideAsNamed(folder, folder);
        return 0;
    }

    Turn takeTurn(const std::filesystem::path& folder) override {
        const HANDLE handle =
            openHandle(folder / kTurnFileName, GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_ALWAYS);
        if (handle == INVALID_HANDLE_VALUE)
            return {nullptr, lastError()};
        auto turn = std::make_unique<HeldTurn>(handle);
        OVERLAPPED whole{};
        if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole))
            return {nullptr, lastError()};
        return {std::move(turn), 0};
    }
};

}  // namespace

FileSystem& systemFileSystem() {
    static WindowsFileSystem system;
    return system;
}

std::wstring win32Path(const std::filesystem::path& path) {
    static constexpr std::wstring_view kLocal = L"\\\\?\\";
    static constexpr std::wstring_view kNetwork = L"\\\\?\\UNC\\";
    const auto normal = [](const std::filesystem::path& p) {
        std::wstring text = p.lexically_normal().native();
        std::replace(text.begin(), text.end(), L'/', L'\\');
        return text;
    };
    const std::wstring& text = path.native();
    if (text.starts_with(kLocal))
        return text;
    // "\\server\share\...": the server's name is no folder to normalise away.
    if (text.size() > 2 && (text[0] == L'\\' || text[0] == L'/') &&
        (text[1] == L'\\' || text[1] == L'/'))
        return std::wstring(kNetwork) + normal(text.substr(2));
    return path.is_absolute() ? std::wstring(kLocal) + normal(path) : text;
}

FileStatus fileStatus(const std::filesystem::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(win32Path(path).c_str(), GetFileExInfoStandard, &data)) {
        // Something that cannot be described (a device) is there all the same.
        const int error = lastError();
        return {error != ENOENT && error != EINVAL, false, 0};
    }
    return {true, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
            (std::uintmax_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow};
}

int checkWritable(const std::filesystem::path& file) {
    const HANDLE handle = openHandle(
        file, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE)
        return lastError();
    CloseHandle(handle);
    return 0;
}

std::string lastWriteStamp(const std::filesystem::path& file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    SYSTEMTIME universal{};
    SYSTEMTIME local{};
    if (!GetFileAttributesExW(win32Path(file).c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToSystemTime(&data.ftLastWriteTime, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return {};
    char text[32];
    const int length =
        std::snprintf(text, sizeof text, "%04u%02u%02u-%02u%02u%02u", local.wYear, local.wMonth,
                      local.wDay, local.wHour, local.wMinute, local.wSecond);
    return std::string(text, static_cast<std::size_t>(length));
}

}  // namespace karune
