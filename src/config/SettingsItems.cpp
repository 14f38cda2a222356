#include "config/SettingsItems.h"

#include <charconv>
#include <optional>
#include <system_error>

#include "config/Utf8Path.h"

namespace karune {
namespace {

struct NumberItem {
    const char* name;
    std::int16_t Settings::*member;
    std::int16_t high;
    std::int16_t low = 0;
};

constexpr NumberItem kOptions[] = {
    {"AddDate", &Settings::AddDate, 4},         {"Port", &Settings::Port, 8, 1},
    {"CrcType", &Settings::CrcType, 1},         {"OverWrite", &Settings::OverWrite, 1},
    {"StartUpSize", &Settings::StartUpSize, 1}, {"AutoStart", &Settings::AutoStart, 1},
    {"Protocol", &Settings::Protocol, 1},
};

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

// The field flag F1..F20 that `name` names, or 0.
int fieldNumber(std::string_view name) {
    if (!name.starts_with('F') || name.size() < 2 || name[1] == '0')
        return 0;
    const auto n = numberIn(name.substr(1), 1, Settings::kFieldCount);
    return n ? *n : 0;
}

std::string applyFolder(Settings& settings, std::string_view value) {
    std::error_code ec;
    const auto folder = std::filesystem::absolute(pathFromUtf8(value), ec).lexically_normal();
    if (value.empty() || ec || !std::filesystem::is_directory(folder, ec))
        return "Folder: \"" + std::string(value) + "\" is not an existing folder";
    // "dir/" names the folder "dir"; a root keeps its separator.
    settings.Folder = utf8FromPath(
        !folder.has_filename() && folder.has_relative_path() ? folder.parent_path() : folder);
    return {};
}

}  // namespace

std::vector<std::pair<std::string, std::string>> settingsItems(const Settings& s) {
    std::vector<std::pair<std::string, std::string>> items;
    auto number = [&](const char* name, std::int16_t value) {
        items.emplace_back(name, std::to_string(value));
    };
    number("AddDate", s.AddDate);
    items.emplace_back("FixFname", s.FixFname);
    items.emplace_back("Folder", s.Folder);
    for (const NumberItem& option : kOptions) {
        if (option.member != &Settings::AddDate)
            number(option.name, s.*option.member);
    }
    for (int n = 1; n <= Settings::kFieldCount; ++n)
        number(("F" + std::to_string(n)).c_str(), s.field(n));
    items.emplace_back("TimeAdjust", s.TimeAdjust);
    return items;
}

std::string applySettingsItem(Settings& settings, std::string_view assignment) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return std::string(assignment) + ": not NAME=VALUE";
    const std::string_view name = assignment.substr(0, equals);
    const std::string_view value = assignment.substr(equals + 1);

    for (const NumberItem& option : kOptions) {
        if (name != option.name)
            continue;
        const auto number = numberIn(value, option.low, option.high);
        if (!number)
            return notInRange(name, value, option.low, option.high);
        settings.*option.member = *number;
        return {};
    }
    if (const int n = fieldNumber(name); n != 0) {
        const auto flag = numberIn(value, 0, 1);
        if (!flag)
            return notInRange(name, value, 0, 1);
        settings.field(n) = *flag;
        return {};
    }
    if (name == "TimeAdjust") {
        if (value != "0" && value != "1")
            return notInRange(name, value, 0, 1);
        settings.TimeAdjust = std::string(value);
        return {};
    }
    if (name == "FixFname") {
        settings.FixFname = std::string(value);
        return {};
    }
    if (name == "Folder")
        return applyFolder(settings, value);
    return std::string(name) + ": no such setting";
}

}  // namespace karune
