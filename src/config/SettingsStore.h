#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "config/FileSystem.h"
#include "config/OperatorMessages.h"
#include "config/Settings.h"

namespace karune {

// Where the settings live and what a reset needs to know.
struct SettingsEnvironment {
    std::filesystem::path iniFile;        // program folder + "/" + executable name + ".ini"
    std::filesystem::path programFolder;  // folder of the executable (or --home)
    std::string documentsFolder;          // the user's documents folder; empty when none is known
    bool osVersion6OrLater = true;        // chooses the documents folder as the reset default
    OperatorMessages& messages;
    std::string homeFolder = {};  // the user's home folder; empty when none is known
    FileSystem& files = systemFileSystem();
};

struct LoadResult {
    Settings settings;
    std::filesystem::path backFile;  // program folder + "/Back.txt"
    // A reset could not write the settings file: the program must end now (the message has
    // been shown).
    bool endProgram = false;
    // The file was missing or refused, and the settings are the defaults.
    bool reset = false;
    // The save folder does not exist: the text the status label shows (the message box has been
    // shown); settings.Folder is then the current directory, for this run only.
    std::optional<std::string> statusText;
};

struct ResetResult {
    Settings settings;  // the defaults, whether or not they could be saved
    // The defaults could not be written to the settings file: the program must end now (the
    // message has been shown).
    bool endProgram = false;
};

// Resets every field to its default after announcing `reason`, and writes the file. The default
// save folder is the first of the documents folder, the home folder and the program folder that
// exists and that the settings file can hold; the program folder when none does, and always when
// osVersion6OrLater is false.
ResetResult InitSettings(const SettingsEnvironment& env, std::string_view reason);

// Reads and checks the settings file once at start-up; on any problem resets to the defaults
// with a message and rewrites the file. Unless the file was missing or the program must end, the
// save folder is then checked: when it is not a directory that can be reached, the folder message
// is shown and the current directory serves for this run. The process's working directory is
// never changed.
LoadResult LoadSettings(const SettingsEnvironment& env);

// Writes `workingCopy` to the settings file, showing a message for each failure, and then takes it
// over into `settings` whatever happened: the values apply to this run even when not saved.
void SaveSettings(const SettingsEnvironment& env, const Settings& workingCopy, Settings& settings);

}  // namespace karune
