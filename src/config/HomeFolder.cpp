#include "config/HomeFolder.h"

#include <system_error>

#include "config/Utf8Path.h"

namespace karune {

HomeChoice chooseHomeFolder(
    const std::optional<std::filesystem::path>& homeOption, const ProgramPaths& besideProgram,
    const std::filesystem::path& perUserFolder,
    const std::function<bool(const std::filesystem::path&)>& canCreateFilesIn) {
    if (homeOption)
        return {*homeOption, false};
    std::error_code ec;
    if (!perUserFolder.empty() &&
        std::filesystem::exists(besideProgram.programFolder / kInstalledMark, ec))
        return {perUserFolder, true};
    if (perUserFolder.empty() || std::filesystem::exists(besideProgram.iniFile, ec) ||
        canCreateFilesIn(besideProgram.programFolder))
        return {besideProgram.programFolder, false};
    return {perUserFolder, true};
}

std::string prepareHomeFolder(const HomeChoice& choice) {
    if (!choice.perUser)
        return {};
    std::error_code ec;
    std::filesystem::create_directories(choice.folder, ec);
    if (ec)
        return "cannot create the home folder " + utf8FromPath(choice.folder) + ": " + ec.message();
    return {};
}

}  // namespace karune
