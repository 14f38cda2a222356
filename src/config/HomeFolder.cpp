#include "config/HomeFolder.h"

#include "config/FileCommits.h"
#include "config/Utf8Path.h"

namespace karune {

HomeChoice chooseHomeFolder(
    const std::optional<std::filesystem::path>& homeOption, const ProgramPaths& besideProgram,
    const std::filesystem::path& perUserFolder,
    const std::function<bool(const std::filesystem::path&)>& canCreateFilesIn) {
    if (homeOption)
        return {*homeOption, false};
    if (!perUserFolder.empty() && fileStatus(besideProgram.programFolder / kInstalledMark).exists)
        return {perUserFolder, true};
    if (perUserFolder.empty() || fileStatus(besideProgram.iniFile).exists ||
        canCreateFilesIn(besideProgram.programFolder))
        return {besideProgram.programFolder, false};
    return {perUserFolder, true};
}

std::string prepareHomeFolder(const HomeChoice& choice, FileSystem& files) {
    if (!choice.perUser)
        return {};
    if (const int err = createFolders(files, choice.folder))
        return "cannot create the home folder " + utf8FromPath(choice.folder) + ": " +
               errorText(err);
    return {};
}

}  // namespace karune
