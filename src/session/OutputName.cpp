#include "session/OutputName.h"

#include <algorithm>
#include <array>
#include <optional>

#include "config/Utf8Path.h"
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

// Names Windows keeps for devices, whatever the extension: a file of that name is the device.
bool reservedOnWindows(std::string_view name) {
    static constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
    static constexpr std::array<std::string_view, 2> kNumberedDevices = {"COM", "LPT"};
    std::string upper(name.substr(0, name.find('.')));
    upper.erase(upper.find_last_not_of(' ') + 1);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    if (std::find(kDevices.begin(), kDevices.end(), upper) != kDevices.end())
        return true;
    return upper.size() == 4 && upper[3] >= '1' && upper[3] <= '9' &&
           std::find(kNumberedDevices.begin(), kNumberedDevices.end(),
                     std::string_view(upper).substr(0, 3)) != kNumberedDevices.end();
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
    return c == '/' || c == kPathSeparator.front();
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
    if (reservedOnWindows(safe))
        safe.insert(std::min(safe.find('.'), safe.size()), "_");
    return safe;
}

std::string outputFileName(int addDate, std::string_view fixFname, std::string_view cp932Name,
                           const LocalDateTime& when) {
    const std::string base = fixFname.empty() ? safeFileBaseName(cp932Name) : std::string(fixFname);
    const std::string separator(kPathSeparator);
    switch (addDate) {
        case 1:
            return separator + fileDate(when) + ".txt";
        case 2:
            return separator + fileDate(when) + "-" + fileTime(when) + ".txt";
        case 3:
            return separator + base + "-" + fileDate(when) + ".txt";
        case 4:
            return separator + base + "-" + fileDate(when) + "-" + fileTime(when) + ".txt";
        default:
            return separator + base + ".txt";
    }
}

std::string outputPathFor(std::string_view folder, std::string_view fileName) {
    if (!folder.empty() && isSeparator(folder.back()))
        folder.remove_suffix(1);
    return std::string(folder) + std::string(fileName);
}

}  // namespace karune
