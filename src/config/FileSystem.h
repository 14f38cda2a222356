#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace karune {

// A file open for writing. Each call returns 0 or the platform's errno value.
class WrittenFile {
public:
    virtual ~WrittenFile() = default;
    // All of `bytes` reach the system, or the error.
    virtual int write(std::string_view bytes) = 0;
    // What was written is on the disk (fsync; FlushFileBuffers on Windows).
    virtual int sync() = 0;
    // Closes the file; the destructor closes it too, ignoring the result.
    virtual int close() = 0;
};

// Held while it exists.
class FolderTurn {
public:
    virtual ~FolderTurn() = default;
};

// Every change the program makes to files goes through this: what was written, made durable,
// renamed or removed. Reading needs no seam. Errors are errno values (the C runtime's on
// Windows), 0 for success.
class FileSystem {
public:
    enum class Mode { Empty, Append };  // emptied or created; appended to or created
    struct Opened {
        std::unique_ptr<WrittenFile> file;  // null on failure
        int error = 0;
    };
    struct Turn {
        std::unique_ptr<FolderTurn> turn;  // null on failure
        int error = 0;
    };

    virtual ~FileSystem() = default;
    virtual Opened open(const std::filesystem::path& file, Mode mode) = 0;
    // Puts `from` in the place of `to` in one step that happens whole or not at all; on Windows
    // also durable when it returns. Fails while `to` is open in a program that locks it.
    virtual int rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    virtual int remove(const std::filesystem::path& file) = 0;
    // Cuts the file to `length` and puts the cut on the disk.
    virtual int truncate(const std::filesystem::path& file, std::uintmax_t length) = 0;
    // Makes the folder's entries durable: names created, renamed or removed in it. Windows has
    // no such operation (its rename is written through instead): there it does nothing.
    virtual int syncFolder(const std::filesystem::path& folder) = 0;
    // Waits until no other program holds the folder's turn, then holds it: programs that write
    // the same folder take turns. The lock is the hidden file kTurnFileName in the folder.
    virtual Turn takeTurn(const std::filesystem::path& folder) = 0;
};

inline constexpr std::string_view kTurnFileName = ".karune-modem.lock";

// The real file system of this computer.
FileSystem& systemFileSystem();

// The file's last change as local time, "yyyymmdd-hhmmss"; empty when it cannot be read.
std::string lastWriteStamp(const std::filesystem::path& file);

// WrittenFile::write's rule over the system's write, `writeSome`, which takes some of the bytes
// it is given and returns how many, or -1 with errno set: interrupted calls are made again and
// the rest follows a short write. 0 or the errno value; EIO for a call that takes nothing and
// gives no reason.
int writeWhole(std::string_view bytes, const std::function<long(std::string_view)>& writeSome);

// The platform's description of an errno value.
std::string errorText(int errorNumber);

}  // namespace karune
