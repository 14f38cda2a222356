#include "platform/UserFolders.h"

#include <unistd.h>

#include <cstdlib>
#include <string_view>

namespace karune {

std::filesystem::path perUserHomeFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && std::string_view(config).starts_with('/'))
        return std::filesystem::path(config) / "karune-modem";
    const char* home = std::getenv("HOME");
    if (home != nullptr && std::string_view(home).starts_with('/'))
        return std::filesystem::path(home) / ".config" / "karune-modem";
    return {};
}

bool canCreateFilesIn(const std::filesystem::path& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace karune
