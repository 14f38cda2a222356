#include "app/ConvertCommand.h"

#include <iostream>

#include "app/ConvertOutput.h"
#include "platform/ConsoleMessages.h"
#include "session/ConvertRecords.h"

namespace karune {

int runConvert(const Startup& startup, const std::filesystem::path& output) {
    if (const std::string refusal = convertOutputRefusal(output, startup.paths); !refusal.empty()) {
        std::cerr << "karune-modem: --convert " << refusal << "; nothing was written\n";
        return 2;
    }
    ConsoleMessages messages(std::cerr, "Karune_modem");
    const LoadResult loaded = LoadSettings(settingsEnvironment(startup, messages));
    if (loaded.endProgram)
        return 1;
    const Settings& s = loaded.settings;
    return ConvertRecords(loaded.backFile, output, s.OverWrite, s.Field, messages) ? 0 : 1;
}

}  // namespace karune
