#include "app/ConvertOutput.h"

#include <system_error>
#include <utility>

#include "config/Utf8Path.h"
#include "session/OutputName.h"

namespace karune {
namespace {

// The same file, whether it exists yet or not.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec))
        return true;
    std::error_code ecA;
    std::error_code ecB;
    const auto canonicalA = std::filesystem::weakly_canonical(a, ecA);
    const auto canonicalB = std::filesystem::weakly_canonical(b, ecB);
    return !ecA && !ecB && canonicalA == canonicalB;
}

}  // namespace

std::string convertOutputRefusal(const std::filesystem::path& output, const ProgramPaths& paths) {
    const std::string name = utf8FromPath(output);
    const std::pair<const std::filesystem::path*, const char*> ownFiles[] = {
        {&paths.backFile, "the back-up file"}, {&paths.iniFile, "the settings file"}};
    for (const auto& [file, what] : ownFiles) {
        if (sameFile(output, *file))
            return name + " is " + what;
    }
    if (isSaveFolderFileName(utf8FromPath(output.filename())))
        return name + " is named like the transfer log or a history file";
    return {};
}

}  // namespace karune
