#include "config/SettingsStore.h"

#include <system_error>

#include "config/SettingsCheck.h"
#include "config/SettingsFileIo.h"
#include "config/SettingsMessages.h"
#include "config/Utf8Path.h"

namespace karune {

namespace {

// The save folder is used as a directory path everywhere; the process's working directory is
// never changed, so the check only asks whether the folder is a directory that can be reached.
bool isUsableFolder(const std::string& folder) {
    return !folder.empty() && fileStatus(pathFromUtf8(folder)).folder;
}

// The settings file holds the folder in CP932: a name it cannot encode would make every start
// fail to write it, and one that reads back as another would be a missing folder at every start.
std::string defaultSaveFolder(const SettingsEnvironment& env, const std::string& programFolder) {
    if (env.osVersion6OrLater) {
        for (const std::string* folder : {&env.documentsFolder, &env.homeFolder}) {
            if (isUsableFolder(*folder) && textRefusal("Folder", *folder).empty())
                return *folder;
        }
    }
    return programFolder;
}

std::string currentDirectory() {
    std::error_code ec;
    const auto here = std::filesystem::current_path(ec);
    return ec ? std::string() : utf8FromPath(here);
}

}  // namespace

ResetResult InitSettings(const SettingsEnvironment& env, std::string_view reason) {
    const std::string programFolder = utf8FromPath(env.programFolder);
    env.messages.show(resetMessage(reason, env.osVersion6OrLater, programFolder));

    ResetResult result{defaultSettings(defaultSaveFolder(env, programFolder)), false};
    const SettingsWriteResult written = writeSettingsFile(env.iniFile, result.settings, env.files);
    if (written.openError) {
        env.messages.show(settingsOpenErrorMessage(*written.openError));
        result.endProgram = true;
    } else if (written.writeError) {
        env.messages.show(settingsWriteErrorMessage(*written.writeError));
        result.endProgram = true;
    }
    return result;
}

LoadResult LoadSettings(const SettingsEnvironment& env) {
    LoadResult result;
    result.backFile = env.programFolder / "Back.txt";

    auto reset = [&](std::string_view reason) {
        ResetResult r = InitSettings(env, reason);
        result.settings = std::move(r.settings);
        result.endProgram = r.endProgram;
        result.reset = true;
    };

    SettingsReadResult read = readSettingsFile(env.iniFile);
    if (read.status == SettingsReadStatus::CannotOpen) {
        reset(kResetNoFile);
        return result;
    }
    if (read.status == SettingsReadStatus::Malformed)
        reset(kResetBadFile);
    else
        result.settings = std::move(read.settings);
    if (result.endProgram)
        return result;

    if (!optionsInRange(result.settings))
        reset(kResetBadOptions);
    else if (!fieldFlagsInRange(result.settings))
        reset(kResetBadFields);
    if (result.endProgram)
        return result;

    if (!isUsableFolder(result.settings.Folder)) {
        env.messages.show(missingFolderMessage());
        result.statusText = missingFolderText();
        result.settings.Folder = currentDirectory();
    }
    return result;
}

void SaveSettings(const SettingsEnvironment& env, const Settings& workingCopy, Settings& settings) {
    const SettingsWriteResult written = writeSettingsFile(env.iniFile, workingCopy, env.files);
    if (written.openError)
        env.messages.show(settingsOpenErrorMessage(*written.openError));
    if (written.writeError)
        env.messages.show(settingsWriteErrorMessage(*written.writeError));
    settings = workingCopy;
}

}  // namespace karune
