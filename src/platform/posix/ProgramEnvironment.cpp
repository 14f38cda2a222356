#include "platform/ProgramEnvironment.h"

#include <sys/stat.h>
#include <unistd.h>

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

bool isJournal(StandardStream stream) {
    const std::optional<std::string> named = environment("JOURNAL_STREAM");
    struct stat status {};
    if (!named ||
        fstat(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO, &status) != 0)
        return false;
    return *named == std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
}

std::optional<std::string> environmentText(const std::string& name) {
    return environment(name.c_str());
}

void failDriveErrorsQuietly() {}

}  // namespace karune
