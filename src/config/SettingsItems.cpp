#include "config/SettingsItems.h"

#include <charconv>
#include <optional>
#include <system_error>

#include "config/FileSystem.h"
#include "config/SettingsCheck.h"
#include "config/SettingsTable.h"
#include "config/Utf8Path.h"

namespace karune {
namespace {

std::optional<std::int16_t> numberIn(std::string_view text, int low, int high) {
    int value = 0;
    const char* last = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), last, value);
    if (text.empty() || ec != std::errc() || ptr != last || value < low || value > high)
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

std::string notInRange(std::string_view name, std::string_view value, int low, int high) {
    return std::string(name) + ": \"" + std::string(value) + "\" is not a whole number from " +
           std::to_string(low) + " to " + std::to_string(high);
}

std::string applyFolder(Settings& settings, std::string_view value) {
    std::error_code ec;
    const auto folder = std::filesystem::absolute(pathFromUtf8(value), ec).lexically_normal();
    if (value.empty() || ec || !fileStatus(folder).folder)
        return "Folder: \"" + std::string(value) + "\" is not an existing folder";
    // "dir/" names the folder "dir"; a root keeps its separator.
    settings.Folder = utf8FromPath(
        !folder.has_filename() && folder.has_relative_path() ? folder.parent_path() : folder);
    return {};
}

}  // namespace

std::vector<std::pair<std::string, std::string>> settingsItems(const Settings& s) {
    std::vector<std::pair<std::string, std::string>> items;
    for (const SettingsItem& item : settingsTable())
        items.emplace_back(item.name,
                           item.isText() ? s.*item.text : std::to_string(numberOf(s, item)));
    return items;
}

std::string applySettingsItem(Settings& settings, std::string_view assignment) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return std::string(assignment) + ": not NAME=VALUE";
    const std::string_view name = assignment.substr(0, equals);
    const std::string_view value = assignment.substr(equals + 1);
    const SettingsItem* item = findSettingsItem(name);
    if (item == nullptr)
        return std::string(name) + ": no such setting";

    switch (item->kind) {
        case SettingsItemKind::Folder:
            return applyFolder(settings, value);
        case SettingsItemKind::Switch:
            if (!readTimeAdjust(value))
                return std::string(name) + ": \"" + std::string(value) +
                       "\" is not a number from 0 to 1";
            [[fallthrough]];
        case SettingsItemKind::FileName:
            settings.*item->text = std::string(value);
            return {};
        default:
            break;
    }
    const auto number = numberIn(value, item->low, item->high);
    if (!number)
        return notInRange(name, value, item->low, item->high);
    numberOf(settings, *item) = *number;
    return {};
}

}  // namespace karune
