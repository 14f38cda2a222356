#include "platform/ProgramEnvironment.h"

#include <cstdlib>
#include <optional>

#include "config/DocumentsFolder.h"
#include "config/ProgramPaths.h"

namespace karune {
namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr)
        return std::nullopt;
    return std::string(value);
}

}  // namespace

std::vector<std::string> programArguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

std::filesystem::path runningProgram(const char* argv0) {
    return executablePath(argv0);
}

std::string userDocumentsFolder() {
    return findDocumentsFolder(environment("HOME"), environment("XDG_CONFIG_HOME"));
}

std::string userHomeFolder() {
    return environment("HOME").value_or("");
}

void useBinaryConsole() {}

void failDriveErrorsQuietly() {}

}  // namespace karune
