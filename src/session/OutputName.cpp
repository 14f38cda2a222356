#include "session/OutputName.h"

#include <algorithm>
#include <array>
#include <optional>
#include <system_error>

#include "config/Utf8Path.h"
#include "link/Cp932.h"

namespace karune {
namespace {

// NAME_MAX on Linux, and 255 UTF-16 units on NTFS, which never exceed the UTF-8 bytes.
constexpr std::size_t kFileNameLimit = 255;
constexpr std::string_view kExtension = ".txt";
constexpr std::string_view kLogFileName = "LOG.TXT";
constexpr std::string_view kBackFileName = "BACK.TXT";
constexpr char kMark = '_';

bool forbiddenInFileName(std::string_view utf8Character) {
    if (utf8Character.size() != 1)
        return false;
    const auto c = static_cast<unsigned char>(utf8Character[0]);
    if (c < 0x20 || c == 0x7F)
        return true;
    constexpr std::string_view kForbidden = "/\\<>:\"|?*";
    return kForbidden.find(static_cast<char>(c)) != std::string_view::npos;
}

std::string upperAscii(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return upper;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Names Windows keeps for devices, whatever the extension: a file of that name is the device.
bool reservedOnWindows(std::string_view name) {
    static constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
    static constexpr std::array<std::string_view, 2> kNumberedDevices = {"COM", "LPT"};
    std::string upper = upperAscii(name.substr(0, name.find('.')));
    upper.erase(upper.find_last_not_of(' ') + 1);
    if (std::find(kDevices.begin(), kDevices.end(), upper) != kDevices.end())
        return true;
    return upper.size() == 4 && upper[3] >= '1' && upper[3] <= '9' &&
           std::find(kNumberedDevices.begin(), kNumberedDevices.end(),
                     std::string_view(upper).substr(0, 3)) != kNumberedDevices.end();
}

// The terminal's name in UTF-8; each byte sequence that is not CP932 becomes a forbidden "?".
std::string decodedName(std::string_view cp932Name) {
    std::string name;
    for (std::size_t pos = 0; pos < cp932Name.size();) {
        const std::size_t length = cp932CharLength(cp932Name, pos);
        const std::optional<std::string> decoded = cp932ToUtf8(cp932Name.substr(pos, length));
        name += decoded && !decoded->empty() ? *decoded : "?";
        pos += length;
    }
    return name;
}

// `name` with forbidden characters replaced, cut at a character to at most `limit` bytes.
std::string cleanedBase(std::string_view name, std::size_t limit) {
    std::string clean;
    for (std::size_t pos = 0; pos < name.size();) {
        const std::size_t length = utf8CharLength(name, pos);
        const std::string_view character = name.substr(pos, length);
        const std::string piece =
            forbiddenInFileName(character) ? std::string(1, kMark) : std::string(character);
        if (clean.size() + piece.size() > limit)
            break;
        clean += piece;
        pos += length;
    }
    return clean;
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

bool isSaveFolderFileName(std::string_view fileName) {
    const std::string upper = upperAscii(fileName);
    if (upper == kLogFileName)
        return true;
    // yyyy-mm.txt
    const std::string_view stem = std::string_view(upper).substr(0, 7);
    return upper.size() == stem.size() + kExtension.size() &&
           std::string_view(upper).substr(7) == upperAscii(kExtension) &&
           std::all_of(stem.begin(), stem.begin() + 4, isDigit) && stem[4] == '-' &&
           isDigit(stem[5]) && isDigit(stem[6]);
}

bool isSameFolder(const std::filesystem::path& a, const std::filesystem::path& b) {
    // On Windows, equivalent() finds no folder by a name with a trailing separator ("C:\x\").
    const auto trimmed = [](const std::filesystem::path& folder) {
        return !folder.has_filename() && folder.has_relative_path() ? folder.parent_path() : folder;
    };
    std::error_code ec;
    return std::filesystem::equivalent(trimmed(a), trimmed(b), ec);
}

std::string outputFileName(int addDate, std::string_view fixFname, std::string_view cp932Name,
                           const LocalDateTime& when, bool saveFolderIsHome) {
    std::string suffix;
    bool withBase = true;
    switch (addDate) {
        case 1:
            suffix = fileDate(when);
            withBase = false;
            break;
        case 2:
            suffix = fileDate(when) + "-" + fileTime(when);
            withBase = false;
            break;
        case 3:
            suffix = "-" + fileDate(when);
            break;
        case 4:
            suffix = "-" + fileDate(when) + "-" + fileTime(when);
            break;
        default:
            break;
    }
    suffix += kExtension;
    // One byte is kept for the mark.
    const std::size_t baseLimit = kFileNameLimit - suffix.size() - 1;
    std::string name =
        withBase ? cleanedBase(fixFname.empty() ? decodedName(cp932Name) : std::string(fixFname),
                               baseLimit) +
                       suffix
                 : suffix;
    if (reservedOnWindows(name) || isSaveFolderFileName(name) ||
        (saveFolderIsHome && upperAscii(name) == kBackFileName))
        name.insert(std::min(name.find('.'), name.size()), 1, kMark);
    return std::string(kPathSeparator) + name;
}

std::string outputPathFor(std::string_view folder, std::string_view fileName) {
    if (!folder.empty() && isSeparator(folder.back()))
        folder.remove_suffix(1);
    return std::string(folder) + std::string(fileName);
}

}  // namespace karune
