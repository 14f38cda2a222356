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

FileHandle openFile(const std::filesystem::path& path, bool forWriting) {
#ifdef _WIN32
    return FileHandle(_wfopen(path.c_str(), forWriting ? L"wb" : L"rb"));
#else
    return FileHandle(std::fopen(path.c_str(), forWriting ? "wb" : "rb"));
#endif
}

std::string describe(int error) {
    // A failing C library call that leaves errno at 0 must still not read as "Success".
    return std::generic_category().message(error != 0 ? error : EIO);
}

// Flushes and closes, keeping the first error.
std::optional<std::string> finish(FileHandle file) {
    int error = 0;
    if (std::fflush(file.get()) != 0 || std::ferror(file.get()))
        error = errno != 0 ? errno : EIO;
    errno = 0;
    if (std::fclose(file.release()) != 0 && error == 0)
        error = errno != 0 ? errno : EIO;
    if (error != 0)
        return describe(error);
    return std::nullopt;
}

}  // namespace

SettingsReadResult readSettingsFile(const std::filesystem::path& iniFile) {
    const FileHandle file = openFile(iniFile, false);
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
                                      const Settings& settings) {
    const EncodedSettings line = encodeSettingsLine(settings);
    if (!line.ok())
        return {std::nullopt, line.error};

    errno = 0;
    FileHandle file = openFile(iniFile, true);
    if (!file)
        return {describe(errno), describe(EBADF)};

    errno = 0;
    std::optional<std::string> writeError;
    if (std::fwrite(line.bytes.data(), 1, line.bytes.size(), file.get()) != line.bytes.size())
        writeError = describe(errno);
    auto closeError = finish(std::move(file));
    return {std::nullopt, writeError ? writeError : closeError};
}

}  // namespace karune
