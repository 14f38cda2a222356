#include "config/StdioFile.h"

#include <string>

#include "config/FileSystem.h"

namespace karune {

StdioFile openStdioFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return StdioFile(_wfopen(win32Path(path).c_str(), wideMode.c_str()));
#else
    return StdioFile(std::fopen(path.c_str(), mode));
#endif
}

}  // namespace karune
