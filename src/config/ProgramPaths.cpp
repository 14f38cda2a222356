#include "config/ProgramPaths.h"

#include <system_error>

namespace karune {

namespace {

std::filesystem::path absoluteFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::path result = std::filesystem::absolute(folder, ec);
    if (ec)
        result = folder;
    result = result.lexically_normal();
    // "dir/" has an empty file name; its folder is "dir". A root keeps its separator.
    if (!result.has_filename() && result.has_relative_path())
        result = result.parent_path();
    return result;
}

}  // namespace

std::filesystem::path executablePath(const char* argv0, const std::filesystem::path& selfLink) {
    std::error_code ec;
    auto self = std::filesystem::read_symlink(selfLink, ec);
    if (!ec && !self.empty())
        return self;
    if (argv0 == nullptr || *argv0 == '\0')
        return {};
    auto fromArgument = std::filesystem::absolute(argv0, ec);
    return ec ? std::filesystem::path(argv0) : fromArgument;
}

ProgramPaths programPaths(const std::filesystem::path& executable,
                          const std::optional<std::filesystem::path>& homeOverride) {
    const std::filesystem::path folder =
        absoluteFolder(homeOverride ? *homeOverride : executable.parent_path());
    std::filesystem::path iniName = executable.stem();
    iniName += ".ini";
    return {folder, folder / iniName, folder / "Back.txt"};
}

}  // namespace karune
