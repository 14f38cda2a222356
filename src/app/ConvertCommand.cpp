#include "app/ConvertCommand.h"

#include <iostream>

#include "app/ConvertOutput.h"
#include "platform/ConsoleMessages.h"
#include "platform/StreamLog.h"
#include "session/ConvertRecords.h"

namespace karune {

int runConvert(const Startup& startup, const std::filesystem::path& output,
               const std::filesystem::path& keptBackup) {
    if (const std::string refusal = convertOutputRefusal(output, startup.paths); !refusal.empty()) {
        std::cerr << "karune-modem: --convert " << refusal << "; nothing was written\n";
        return 2;
    }
    StreamLog log(std::cerr);
    ConsoleMessages messages(log, "Karune_modem");
    const LoadResult loaded = LoadSettings(settingsEnvironment(startup, messages));
    if (loaded.endProgram)
        return 1;
    std::filesystem::path backup = loaded.backFile;
    if (!keptBackup.empty())
        backup = keptBackup.has_parent_path() ? keptBackup : backup.parent_path() / keptBackup;
    return ConvertBackupFile(backup, loaded.backFile, output, loaded.settings, messages) ? 0 : 1;
}

}  // namespace karune
