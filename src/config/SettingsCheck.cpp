#include "config/SettingsCheck.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace karune {

namespace {

bool within(std::int16_t value, int low, int high) {
    return value >= low && value <= high;
}

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
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

bool optionsInRange(const Settings& s) {
    if (!within(s.AddDate, 0, 4) || !within(s.Port, 1, 8))
        return false;
    for (std::int16_t option : {s.CrcType, s.OverWrite, s.StartUpSize, s.AutoStart, s.Protocol})
        if (!within(option, 0, 1))
            return false;
    const auto timeAdjust = numberFromText(s.TimeAdjust);
    return timeAdjust && *timeAdjust >= 0 && *timeAdjust <= 1;
}

bool fieldFlagsInRange(const Settings& s) {
    return std::all_of(s.Field.begin(), s.Field.end(),
                       [](std::int16_t flag) { return within(flag, 0, 1); });
}

}  // namespace karune
