// The file helpers of the core: the only place where it calls the system's file operations.
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <system_error>

#include "config/FileSystem.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/file.h>
#include <unistd.h>
#endif

namespace karune {
namespace {

#ifdef _WIN32
int openFile(const std::filesystem::path& file, int flags) {
    return _wopen(file.c_str(), flags | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}
int writeSome(int fd, const char* data, std::size_t size) {
    return _write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}
int syncFile(int fd) {
    return _commit(fd);
}
int closeFile(int fd) {
    return _close(fd);
}
int cutFile(int fd, std::uintmax_t length) {
    return _chsize_s(fd, static_cast<long long>(length));
}
constexpr int kWrite = _O_WRONLY;
constexpr int kCreate = _O_CREAT;
constexpr int kEmpty = _O_TRUNC;
constexpr int kAppend = _O_APPEND;
constexpr int kReadWrite = _O_RDWR;

// The C runtime reports a file that another program holds (a sharing or lock violation) as
// EACCES, as it does a read-only one; the operator needs to tell them apart.
int openError() {
    if (errno == EACCES &&
        (_doserrno == ERROR_SHARING_VIOLATION || _doserrno == ERROR_LOCK_VIOLATION))
        return EBUSY;
    return errno != 0 ? errno : EIO;
}

int errorOf(DWORD windowsError) {
    switch (windowsError) {
        case ERROR_ACCESS_DENIED:
            return EACCES;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EBUSY;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return ENOENT;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        default:
            return EIO;
    }
}
#else
int openFile(const std::filesystem::path& file, int flags) {
    return ::open(file.c_str(), flags | O_CLOEXEC, 0666);
}
int writeSome(int fd, const char* data, std::size_t size) {
    return static_cast<int>(::write(fd, data, std::min<std::size_t>(size, 1u << 30)));
}
int syncFile(int fd) {
    return ::fsync(fd);
}
int closeFile(int fd) {
    return ::close(fd);
}
int cutFile(int fd, std::uintmax_t length) {
    return ::ftruncate(fd, static_cast<off_t>(length));
}
constexpr int kWrite = O_WRONLY;
constexpr int kCreate = O_CREAT;
constexpr int kEmpty = O_TRUNC;
constexpr int kAppend = O_APPEND;
constexpr int kReadWrite = O_RDWR;

int openError() {
    return errno != 0 ? errno : EIO;
}
#endif

// errno after a failed call; EIO when the platform left none.
int lastError() {
    return errno != 0 ? errno : EIO;
}

class DescriptorFile : public WrittenFile {
public:
    explicit DescriptorFile(int fd) : fd_(fd) {}
    ~DescriptorFile() override {
        if (fd_ >= 0)
            closeFile(fd_);
    }
    DescriptorFile(const DescriptorFile&) = delete;
    DescriptorFile& operator=(const DescriptorFile&) = delete;

    int write(std::string_view bytes) override {
        return writeWhole(bytes, [this](std::string_view rest) {
            return writeSome(fd_, rest.data(), rest.size());
        });
    }
    int sync() override {
        errno = 0;
        return syncFile(fd_) == 0 ? 0 : lastError();
    }
    int close() override {
        errno = 0;
        const int result = closeFile(fd_);
        fd_ = -1;
        return result == 0 ? 0 : lastError();
    }

private:
    int fd_;
};

class HeldTurn : public FolderTurn {
public:
    explicit HeldTurn(int fd) : fd_(fd) {}
    ~HeldTurn() override { closeFile(fd_); }  // closing releases the lock
    HeldTurn(const HeldTurn&) = delete;
    HeldTurn& operator=(const HeldTurn&) = delete;

private:
    int fd_;
};

class SystemFileSystem : public FileSystem {
public:
    Opened open(const std::filesystem::path& file, Mode mode) override {
        errno = 0;
        const int fd = openFile(file, kWrite | kCreate | (mode == Mode::Empty ? kEmpty : kAppend));
        if (fd < 0)
            return {nullptr, openError()};
        return {std::make_unique<DescriptorFile>(fd), 0};
    }

    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
#ifdef _WIN32
        if (MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        return errorOf(GetLastError());
#else
        std::error_code ec;
        std::filesystem::rename(from, to, ec);
        return ec.value();
#endif
    }

    int remove(const std::filesystem::path& file) override {
        std::error_code ec;
        if (!std::filesystem::remove(file, ec) && !ec)
            return ENOENT;
        return ec.value();
    }

    int truncate(const std::filesystem::path& file, std::uintmax_t length) override {
        errno = 0;
        const int fd = openFile(file, kWrite);
        if (fd < 0)
            return lastError();
        DescriptorFile cut(fd);
        errno = 0;
        if (cutFile(fd, length) != 0)
            return lastError();
        if (const int err = cut.sync())
            return err;
        return cut.close();
    }

    int syncFolder(const std::filesystem::path& folder) override {
#ifdef _WIN32
        (void)folder;
        return 0;
#else
        errno = 0;
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return lastError();
        DescriptorFile directory(fd);
        if (const int err = directory.sync())
            return err;
        return directory.close();
#endif
    }

    Turn takeTurn(const std::filesystem::path& folder) override {
        errno = 0;
        const int fd = openFile(folder / kTurnFileName, kReadWrite | kCreate);
        if (fd < 0)
            return {nullptr, lastError()};
        auto turn = std::make_unique<HeldTurn>(fd);
#ifdef _WIN32
        OVERLAPPED whole{};
        if (!LockFileEx(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), LOCKFILE_EXCLUSIVE_LOCK, 0,
                        MAXDWORD, MAXDWORD, &whole))
            return {nullptr, errorOf(GetLastError())};
#else
        int result = 0;
        do {
            errno = 0;
            result = ::flock(fd, LOCK_EX);
        } while (result != 0 && errno == EINTR);
        if (result != 0)
            return {nullptr, lastError()};
#endif
        return {std::move(turn), 0};
    }
};

}  // namespace

FileSystem& systemFileSystem() {
    static SystemFileSystem system;
    return system;
}

std::string lastWriteStamp(const std::filesystem::path& file) {
    std::tm local{};
#ifdef _WIN32
    struct _stat64 status {};
    if (_wstat64(file.c_str(), &status) != 0 || localtime_s(&local, &status.st_mtime) != 0)
        return {};
#else
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0 || ::localtime_r(&status.st_mtime, &local) == nullptr)
        return {};
#endif
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return std::string(text, length);
}

int writeWhole(std::string_view bytes, const std::function<long(std::string_view)>& writeSome) {
    while (!bytes.empty()) {
        errno = 0;
        const long written = writeSome(bytes);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return lastError();
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

std::string errorText(int errorNumber) {
    return std::generic_category().message(errorNumber);
}

}  // namespace karune
