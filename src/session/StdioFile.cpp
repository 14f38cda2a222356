#include "session/StdioFile.h"

#include <string>

namespace karune {

StdioFile openStdioFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return StdioFile(_wfopen(path.c_str(), wideMode.c_str()));
#else
    return StdioFile(std::fopen(path.c_str(), mode));
#endif
}

}  // namespace karune
