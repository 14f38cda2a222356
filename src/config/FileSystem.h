#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace karune {

// A file open for writing. Each call returns 0 or an errno value.
class WrittenFile {
public:
    virtual ~WrittenFile() = default;
    // All of `bytes` reach the system, or the error.
    virtual int write(std::string_view bytes) = 0;
    // What was written is on the disk (fsync; FlushFileBuffers on Windows).
    virtual int sync() = 0;
    // Cuts the file to `length` and puts the cut on the disk.
    virtual int truncate(std::uintmax_t length) = 0;
    // Closes the file; the destructor closes it too, ignoring the result.
    virtual int close() = 0;
};

// Held while it exists.
class FolderTurn {
public:
    virtual ~FolderTurn() = default;
};

// Every change the program makes to the files it keeps goes through this: what was written, made
// durable, renamed, removed or created. Errors are errno values, 0 for success; a file that
// another program holds open (a spreadsheet showing the output file on Windows) gives EBUSY.
//
// On Windows a name that starts with "." is given the hidden attribute, where the program creates
// it and where a rename gives it (and a rename to a name without one takes it away), so that the
// program's working files are out of the operator's way there as they are here.
//
// Writes outside this seam, none of which holds anything that a power cut could cost: the
// service's log (a log, written as it comes), and on Windows the home folder's lock and the probe
// that asks whether a folder takes new files (both empty, and deleted when closed).
class FileSystem {
public:
    enum class Mode { Empty, Append };  // emptied or created; appended to or created
    struct Opened {
        std::unique_ptr<WrittenFile> file;  // null on failure
        int error = 0;
        std::uintmax_t length = 0;  // the file's length when opened: where an append begins
    };
    struct Turn {
        std::unique_ptr<FolderTurn> turn;  // null on failure
        int error = 0;
    };

    virtual ~FileSystem() = default;
    // `permissionsOf`: an existing file whose permissions a POSIX file takes (a replacement takes
    // its target's); Windows keeps only the hidden attribute of the name.
    virtual Opened open(const std::filesystem::path& file, Mode mode,
                        const std::filesystem::path& permissionsOf = {}) = 0;
    // Puts `from` in the place of `to` in one step that happens whole or not at all. On Windows
    // it is written through: "the function does not return until the file is actually moved on
    // the disk" (MoveFileExW with MOVEFILE_WRITE_THROUGH).
    virtual int rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    virtual int remove(const std::filesystem::path& file) = 0;
    // Cuts the file to `length` and puts the cut on the disk.
    virtual int truncate(const std::filesystem::path& file, std::uintmax_t length) = 0;
    // Makes the folder's entries durable: names created, renamed or removed in it (fsync of the
    // folder). Windows documents no folder sync for programs (FlushFileBuffers names files and
    // volumes): there it does nothing, and what must be durable is committed by a rename (see
    // FileCommits.h).
    virtual int syncFolder(const std::filesystem::path& folder) = 0;
    // One folder whose parent exists; EEXIST when the name is taken.
    virtual int createFolder(const std::filesystem::path& folder) = 0;
    // Waits until no other program holds the folder's turn, then holds it: programs that write
    // the same folder take turns. The lock is the hidden file kTurnFileName in the folder.
    virtual Turn takeTurn(const std::filesystem::path& folder) = 0;
};

inline constexpr std::string_view kTurnFileName = ".karune-modem.lock";

// The real file system of this computer.
FileSystem& systemFileSystem();

// Reading needs no seam; these read as the seam writes, long Windows paths included.

struct FileStatus {
    bool exists = false;
    bool folder = false;
    std::uintmax_t size = 0;  // of a file
};
FileStatus fileStatus(const std::filesystem::path& path);

// 0 when the existing `file` may be written; EACCES when it is write-protected, EBUSY when another
// program holds it, ENOENT when it is not there. Changes nothing.
int checkWritable(const std::filesystem::path& file);

// The file's last change as local time, "yyyymmdd-hhmmss"; empty when it cannot be read.
std::string lastWriteStamp(const std::filesystem::path& file);

// WrittenFile::write's rule over the system's write, `writeSome`, which takes some of the bytes
// it is given and returns how many, or -1 with errno set: interrupted calls are made again and
// the rest follows a short write. 0 or the errno value; EIO for a call that takes nothing and
// gives no reason.
int writeWhole(std::string_view bytes, const std::function<long(std::string_view)>& writeSome);

// The platform's description of an errno value.
std::string errorText(int errorNumber);

#ifdef _WIN32
// `path` as the wide file calls take it at any length: an absolute path gets the "\\?\" prefix
// (UNC paths "\\?\UNC\"), with "\" between its names and "." and ".." resolved, since the system
// takes such a path literally; a relative one is left as it is.
std::wstring win32Path(const std::filesystem::path& path);
#endif

}  // namespace karune
