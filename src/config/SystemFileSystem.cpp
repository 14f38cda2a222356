// The file helpers of the core on POSIX systems: the only place where it calls the system's file
// operations (WindowsFileSystem.cpp on Windows).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "config/FileSystem.h"

namespace karune {
namespace {

// errno after a failed call; EIO when the platform left none.
int lastError() {
    return errno != 0 ? errno : EIO;
}

int openFile(const std::filesystem::path& file, int flags) {
    return ::open(file.c_str(), flags | O_CLOEXEC, 0666);
}

int syncDescriptor(int fd) {
    errno = 0;
    return ::fsync(fd) == 0 ? 0 : lastError();
}

class DescriptorFile : public WrittenFile {
public:
    explicit DescriptorFile(int fd) : fd_(fd) {}
    ~DescriptorFile() override {
        if (fd_ >= 0)
            ::close(fd_);
    }
    DescriptorFile(const DescriptorFile&) = delete;
    DescriptorFile& operator=(const DescriptorFile&) = delete;

    int write(std::string_view bytes) override {
        return writeWhole(bytes, [this](std::string_view rest) {
            return static_cast<long>(
                ::write(fd_, rest.data(), std::min<std::size_t>(rest.size(), 1u << 30)));
        });
    }
    int sync() override { return syncDescriptor(fd_); }
    int truncate(std::uintmax_t length) override {
        errno = 0;
        if (::ftruncate(fd_, static_cast<off_t>(length)) != 0)
            return lastError();
        return sync();
    }
    int close() override {
        errno = 0;
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : lastError();
    }

private:
    int fd_;
};

class HeldTurn : public FolderTurn {
public:
    explicit HeldTurn(int fd) : fd_(fd) {}
    ~HeldTurn() override { ::close(fd_); }  // closing releases the lock
    HeldTurn(const HeldTurn&) = delete;
    HeldTurn& operator=(const HeldTurn&) = delete;

private:
    int fd_;
};

class SystemFileSystem : public FileSystem {
public:
    Opened open(const std::filesystem::path& file, Mode mode,
                const std::filesystem::path& permissionsOf) override {
        errno = 0;
        const int fd =
            openFile(file, O_WRONLY | O_CREAT | (mode == Mode::Empty ? O_TRUNC : O_APPEND));
        if (fd < 0)
            return {nullptr, lastError()};
        auto opened = std::make_unique<DescriptorFile>(fd);
        struct stat status {};
        errno = 0;
        if (::fstat(fd, &status) != 0)
            return {nullptr, lastError()};
        const auto length = static_cast<std::uintmax_t>(status.st_size);
        if (!permissionsOf.empty() && ::stat(permissionsOf.c_str(), &status) == 0 &&
            ::fchmod(fd, status.st_mode & 07777) != 0)
            return {nullptr, lastError()};
        return {std::move(opened), 0, length};
    }

    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        errno = 0;
        return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : lastError();
    }

    int remove(const std::filesystem::path& file) override {
        errno = 0;
        return ::unlink(file.c_str()) == 0 ? 0 : lastError();
    }

    int truncate(const std::filesystem::path& file, std::uintmax_t length) override {
        errno = 0;
        const int fd = openFile(file, O_WRONLY);
        if (fd < 0)
            return lastError();
        DescriptorFile cut(fd);
        if (const int err = cut.truncate(length))
            return err;
        return cut.close();
    }

    int syncFolder(const std::filesystem::path& folder) override {
        errno = 0;
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return lastError();
        DescriptorFile directory(fd);
        if (const int err = directory.sync())
            return err;
        return directory.close();
    }

    int createFolder(const std::filesystem::path& folder) override {
        errno = 0;
        return ::mkdir(folder.c_str(), 0777) == 0 ? 0 : lastError();
    }

    Turn takeTurn(const std::filesystem::path& folder) override {
        errno = 0;
        const int fd = openFile(folder / kTurnFileName, O_RDWR | O_CREAT);
        if (fd < 0)
            return {nullptr, lastError()};
        auto turn = std::make_unique<HeldTurn>(fd);
        int result = 0;
        do {
            errno = 0;
            result = ::flock(fd, LOCK_EX);
        } while (result != 0 && errno == EINTR);
        if (result != 0)
            return {nullptr, lastError()};
        return {std::move(turn), 0};
    }
};

}  // namespace

FileSystem& systemFileSystem() {
    static SystemFileSystem system;
    return system;
}

FileStatus fileStatus(const std::filesystem::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return {};
    return {true, S_ISDIR(status.st_mode), static_cast<std::uintmax_t>(status.st_size)};
}

int checkWritable(const std::filesystem::path& file) {
    errno = 0;
    const int fd = openFile(file, O_WRONLY);
    if (fd < 0)
        return lastError();
    ::close(fd);
    return 0;
}

std::string lastWriteStamp(const std::filesystem::path& file) {
    std::tm local{};
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0 || ::localtime_r(&status.st_mtime, &local) == nullptr)
        return {};
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return std::string(text, length);
}

}  // namespace karune
