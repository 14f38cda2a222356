#include "app/SettingsCommand.h"

#include "config/SettingsFile.h"
#include "config/SettingsFileIo.h"
#include "config/SettingsItems.h"
#include "config/SettingsMessages.h"
#include "config/Utf8Path.h"
#include "platform/ConsoleMessages.h"
#include "platform/StreamLog.h"

namespace karune {
namespace {

constexpr const char* kDefaultMessageTitle = "Karune_modem";
constexpr const char* kProgram = "karune-modem: ";

}  // namespace

int runShowSettings(const Startup& startup, std::ostream& out, std::ostream& err) {
    const std::string iniFile = utf8FromPath(startup.paths.iniFile);
    const SettingsReadResult read = readSettingsFile(startup.paths.iniFile);
    switch (read.status) {
        case SettingsReadStatus::CannotOpen:
            err << kProgram << "cannot read " << iniFile
                << "; a start of the program creates it with the defaults\n";
            return 1;
        case SettingsReadStatus::Malformed:
            err << kProgram << iniFile
                << " does not hold 30 settings; a start of the program resets it\n";
            return 1;
        case SettingsReadStatus::Read:
            break;
    }
    err << "settings file: " << iniFile << "\n";
    for (const auto& [name, value] : settingsItems(read.settings))
        out << name << '=' << value << '\n';
    return 0;
}

int runSetSettings(const Startup& startup, const std::vector<std::string>& assignments,
                   std::ostream& err) {
    StreamLog log(err);
    ConsoleMessages messages(log, kDefaultMessageTitle);
    const LoadResult loaded = LoadSettings(settingsEnvironment(startup, messages));
    if (loaded.endProgram)
        return 1;
    // The record as the file holds it: a save folder that is gone stays in the file until it is
    // set anew, unlike the stand-in start-up uses for one run.
    const SettingsReadResult read = readSettingsFile(startup.paths.iniFile);
    Settings settings = read.status == SettingsReadStatus::Read ? read.settings : loaded.settings;

    bool refused = false;
    for (const std::string& assignment : assignments) {
        if (const std::string why = applySettingsItem(settings, assignment); !why.empty()) {
            err << kProgram << "--set " << why << '\n';
            refused = true;
        }
    }
    if (const EncodedSettings line = encodeSettingsLine(settings); !line.ok()) {
        err << kProgram << "--set " << line.error << '\n';
        refused = true;
    }
    if (refused) {
        // A reset has rewritten the file already: "nothing was saved" would not be true.
        err << kProgram
            << (loaded.reset ? "the settings file was reset to the defaults; none of the values "
                               "given was saved\n"
                             : "nothing was saved\n");
        return 2;
    }

    const SettingsWriteResult written = writeSettingsFile(startup.paths.iniFile, settings);
    if (written.openError)
        messages.show(settingsOpenErrorMessage(*written.openError));
    else if (written.writeError)
        messages.show(settingsWriteErrorMessage(*written.writeError));
    return written.ok() ? 0 : 1;
}

}  // namespace karune
