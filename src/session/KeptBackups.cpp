#include "session/KeptBackups.h"

#include <cerrno>
#include <string>

#include "config/FileCommits.h"
#include "config/StdioFile.h"

namespace karune {
namespace {

std::filesystem::path markerOf(const std::filesystem::path& backFile) {
    return hiddenBeside(backFile, ".converted");
}

std::filesystem::path freeKeepingName(const std::filesystem::path& backFile) {
    const std::filesystem::path base =
        backFile.parent_path() / (backFile.stem() += "-" + lastWriteStamp(backFile));
    std::filesystem::path name = std::filesystem::path(base) += backFile.extension();
    for (int n = 2; fileStatus(name).exists; ++n)
        name = (std::filesystem::path(base) += "-" + std::to_string(n)) += backFile.extension();
    return name;
}

// The length of the file's whole records: up to its last CR LF. All of it when it cannot be read.
std::uintmax_t wholeRecordsLength(const std::filesystem::path& file, std::uintmax_t size) {
    const StdioFile in = openStdioFile(file, "rb");
    if (!in)
        return size;
    char chunk[1 << 16];
    std::uintmax_t whole = 0;
    std::uintmax_t offset = 0;
    bool afterCr = false;
    for (std::size_t got; offset < size && (got = std::fread(chunk, 1, sizeof chunk, in.get())) > 0;
         offset += got) {
        for (std::size_t i = 0; i < got; ++i) {
            if (chunk[i] == '\n' && afterCr)
                whole = offset + i + 1;
            afterCr = chunk[i] == '\r';
        }
    }
    return std::ferror(in.get()) ? size : whole;
}

}  // namespace

int markConverted(FileSystem& files, const std::filesystem::path& backFile) {
    return replaceWhole(files, markerOf(backFile), {});
}

KeptBackup keepUnconverted(FileSystem& files, const std::filesystem::path& backFile) {
    if (fileStatus(markerOf(backFile)).exists) {
        // Emptied first: converted records without their marker would be kept as unconverted.
        // One deleted by hand is put back by a rename, the only new name Windows makes durable.
        int err = files.truncate(backFile, 0);
        if (err == ENOENT)
            err = replaceWhole(files, backFile, {});
        if (err == 0)
            err = retire(files, markerOf(backFile));
        return {{}, err};
    }
    const FileStatus back = fileStatus(backFile);
    if (!back.exists)
        return {{}, replaceWhole(files, backFile, {})};
    const std::uintmax_t whole = wholeRecordsLength(backFile, back.size);
    if (whole == 0)
        return {};
    if (whole < back.size) {
        if (const int err = files.truncate(backFile, whole))
            return {{}, err};
    }
    const std::filesystem::path kept = freeKeepingName(backFile);
    if (const int err = files.rename(backFile, kept))
        return {{}, err};
    // The new back-up file's folder sync makes the keeping durable too.
    return {kept, replaceWhole(files, backFile, {})};
}

}  // namespace karune
