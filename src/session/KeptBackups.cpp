#include "session/KeptBackups.h"

#include <string>
#include <system_error>

namespace karune {
namespace {

std::filesystem::path markerOf(const std::filesystem::path& backFile) {
    return backFile.parent_path() / (std::filesystem::path(".") += backFile.filename()) +=
           ".converted";
}

std::filesystem::path freeKeepingName(const std::filesystem::path& backFile) {
    const std::filesystem::path base =
        backFile.parent_path() / (backFile.stem() += "-" + lastWriteStamp(backFile));
    std::error_code ec;
    std::filesystem::path name = std::filesystem::path(base) += backFile.extension();
    for (int n = 2; std::filesystem::exists(name, ec); ++n)
        name = (std::filesystem::path(base) += "-" + std::to_string(n)) += backFile.extension();
    return name;
}

}  // namespace

int markConverted(FileSystem& files, const std::filesystem::path& backFile) {
    FileSystem::Opened marker = files.open(markerOf(backFile), FileSystem::Mode::Empty);
    int err = marker.error;
    if (err == 0)
        err = marker.file->close();
    return err != 0 ? err : files.syncFolder(backFile.parent_path());
}

KeptBackup keepUnconverted(FileSystem& files, const std::filesystem::path& backFile) {
    std::error_code ec;
    if (std::filesystem::exists(markerOf(backFile), ec)) {
        int err = files.remove(markerOf(backFile));
        if (err == 0)
            err = files.syncFolder(backFile.parent_path());
        return {{}, err};
    }
    if (std::filesystem::file_size(backFile, ec) == 0 || ec)
        return {};
    const std::filesystem::path kept = freeKeepingName(backFile);
    int err = files.rename(backFile, kept);
    if (err == 0)
        err = files.syncFolder(backFile.parent_path());
    return {err == 0 ? kept : std::filesystem::path(), err};
}

}  // namespace karune
