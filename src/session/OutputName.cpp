#include "session/OutputName.h"

#include <optional>

#include "link/Cp932.h"

namespace karune {
namespace {

bool forbiddenInFileName(std::string_view utf8Character) {
    if (utf8Character.size() != 1)
        return false;
    const auto c = static_cast<unsigned char>(utf8Character[0]);
    if (c < 0x20 || c == 0x7F)
        return true;
    constexpr std::string_view kForbidden = "/\\<>:\"|?*";
    return kForbidden.find(static_cast<char>(c)) != std::string_view::npos;
}

std::string twoDigits(int v) {
    return {static_cast<char>('0' + v / 10 % 10), static_cast<char>('0' + v % 10)};
}

std::string fileDate(const LocalDateTime& t) {
    return std::to_string(t.year) + twoDigits(t.month) + twoDigits(t.day);
}

std::string fileTime(const LocalDateTime& t) {
    return twoDigits(t.hour) + twoDigits(t.minute);
}

bool isSeparator(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

}  // namespace

std::string safeFileBaseName(std::string_view cp932Name) {
    std::string safe;
    for (std::size_t pos = 0; pos < cp932Name.size();) {
        const std::size_t length = cp932CharLength(cp932Name, pos);
        const std::optional<std::string> decoded = cp932ToUtf8(cp932Name.substr(pos, length));
        if (!decoded || decoded->empty() || forbiddenInFileName(*decoded))
            safe += '_';
        else
            safe += *decoded;
        pos += length;
    }
    return safe;
}

std::string outputFileName(int addDate, std::string_view fixFname, std::string_view cp932Name,
                           const LocalDateTime& when) {
    const std::string base = fixFname.empty() ? safeFileBaseName(cp932Name) : std::string(fixFname);
    switch (addDate) {
        case 1:
            return "/" + fileDate(when) + ".txt";
        case 2:
            return "/" + fileDate(when) + "-" + fileTime(when) + ".txt";
        case 3:
            return "/" + base + "-" + fileDate(when) + ".txt";
        case 4:
            return "/" + base + "-" + fileDate(when) + "-" + fileTime(when) + ".txt";
        default:
            return "/" + base + ".txt";
    }
}

std::string outputPathFor(std::string_view folder, std::string_view fileName) {
    if (!folder.empty() && isSeparator(folder.back()))
        folder.remove_suffix(1);
    return std::string(folder) + std::string(fileName);
}

}  // namespace karune
