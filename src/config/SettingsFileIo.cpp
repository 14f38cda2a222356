#include "config/SettingsFileIo.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "config/FileCommits.h"
#include "config/SettingsFile.h"
#include "config/StdioFile.h"

namespace karune {

namespace {

constexpr std::size_t kReadLimit = 1024 * 1024;

std::string describe(int error) {
    // A failing C library call that leaves errno at 0 must still not read as "Success".
    return std::generic_category().message(error != 0 ? error : EIO);
}

}  // namespace

SettingsReadResult readSettingsFile(const std::filesystem::path& iniFile) {
    const StdioFile file = openStdioFile(iniFile, "rb");
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

    Replacement replacement(files, iniFile);
    if (const int error = replacement.error())
        return {describe(error), describe(EBADF)};
    int error = replacement.content().write(line.bytes);
    if (error == 0)
        error = replacement.commit();
    // Renamed: the new file counts even if its folder entry could not be forced to the disk.
    if (error != 0 && !replacement.committed())
        return {std::nullopt, describe(error)};
    return {};
}

}  // namespace karune
