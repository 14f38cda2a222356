#include "config/SettingsCheck.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "config/SettingsTable.h"
#include "link/Cp932.h"

namespace karune {

namespace {

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool inRange(const Settings& s, const SettingsItem& item) {
    const std::int16_t value = numberOf(s, item);
    return value >= item.low && value <= item.high;
}

}  // namespace

std::optional<double> numberFromText(std::string_view text) {
    text = trimBlanks(text);
    // from_chars takes "-" but not "+"; a "+" followed by another sign must still fail.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    double value = 0;
    const char* last = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), last, value);
    if (ec != std::errc() || ptr != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<bool> readTimeAdjust(std::string_view text) {
    const auto value = numberFromText(text);
    if (!value || *value < 0 || *value > 1)
        return std::nullopt;
    return *value == 1;
}

bool optionsInRange(const Settings& s) {
    return std::all_of(settingsTable().begin(), settingsTable().end(), [&](const auto& item) {
        switch (item.kind) {
            case SettingsItemKind::Option:
                return inRange(s, item);
            case SettingsItemKind::Switch:
                return readTimeAdjust(s.*item.text).has_value();
            default:
                return true;
        }
    });
}

bool fieldFlagsInRange(const Settings& s) {
    return std::all_of(settingsTable().begin(), settingsTable().end(), [&](const auto& item) {
        return item.kind != SettingsItemKind::FieldFlag || inRange(s, item);
    });
}

std::string textRefusal(std::string_view name, std::string_view text) {
    if (text.find_first_of("\"\r\n") != std::string_view::npos)
        return std::string(name) +
               " holds a double quote or a line break, which the settings file cannot hold";
    const std::optional<std::string> cp932 = utf8ToCp932(text);
    if (!cp932)
        return std::string(name) +
               " holds a character that the settings file's code page (CP932) cannot hold";
    if (cp932ToUtf8(*cp932) != text)
        return std::string(name) +
               " holds a character that reads back from the settings file's code page (CP932) "
               "as another";
    return {};
}

std::string settingsTextRefusal(const Settings& s) {
    for (const SettingsItem& item : settingsTable()) {
        if (!item.isText())
            continue;
        if (std::string why = textRefusal(item.name, s.*item.text); !why.empty())
            return why;
    }
    return {};
}

}  // namespace karune
