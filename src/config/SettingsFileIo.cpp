#include "config/SettingsFileIo.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#include "config/SettingsFile.h"

namespace karune {

namespace {

constexpr std::size_t kReadLimit = 1024 * 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

FileHandle openForReading(const std::filesystem::path& path) {
#ifdef _WIN32
    return FileHandle(_wfopen(path.c_str(), L"rb"));
#else
    return FileHandle(std::fopen(path.c_str(), "rb"));
#endif
}

std::string describe(int error) {
    // A failing C library call that leaves errno at 0 must still not read as "Success".
    return std::generic_category().message(error != 0 ? error : EIO);
}

}  // namespace

SettingsReadResult readSettingsFile(const std::filesystem::path& iniFile) {
    const FileHandle file = openForReading(iniFile);
    if (!file)
        return {};
    std::string content(kReadLimit, '\0');
    content.resize(std::fread(content.data(), 1, content.size(), file.get()));
    if (std::ferror(file.get()))
        return {};

    auto settings = parseSettingsText(content);
    if (!settings)
        return {SettingsReadStatus::Malformed, {}};
    return {SettingsReadStatus::Read, std::move(*settings)};
}

SettingsWriteResult writeSettingsFile(const std::filesystem::path& iniFile,
                                      const Settings& settings, FileSystem& files) {
    const EncodedSettings line = encodeSettingsLine(settings);
    if (!line.ok())
        return {std::nullopt, line.error};

    const std::filesystem::path folder =
        iniFile.has_parent_path() ? iniFile.parent_path() : std::filesystem::path(".");
    const std::filesystem::path temporary =
        folder / (std::filesystem::path(".") += iniFile.filename()) += ".new";
    FileSystem::Opened file = files.open(temporary, FileSystem::Mode::Empty);
    if (!file.file)
        return {describe(file.error), describe(EBADF)};

    int error = file.file->write(line.bytes);
    if (error == 0)
        error = file.file->sync();
    if (error == 0)
        error = file.file->close();
    if (error == 0)
        error = files.rename(temporary, iniFile);
    if (error != 0) {
        file.file.reset();
        files.remove(temporary);
        return {std::nullopt, describe(error)};
    }
    // Renamed: the new file counts even if its folder entry could not be forced to the disk.
    files.syncFolder(folder);
    return {};
}

}  // namespace karune
