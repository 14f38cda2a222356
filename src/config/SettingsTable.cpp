#include "config/SettingsTable.h"

#include <algorithm>

namespace karune {
namespace {

constexpr std::string_view kFieldNames[Settings::kFieldCount] = {
    "F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",  "F9",  "F10",
    "F11", "F12", "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20"};

constexpr SettingsItem option(std::string_view name, std::int16_t Settings::*member,
                              std::int16_t high, std::int16_t low = 0) {
    return {name, SettingsItemKind::Option, low, high, member};
}

constexpr SettingsItem text(std::string_view name, SettingsItemKind kind,
                            std::string Settings::*member) {
    return {name, kind, 0, 0, nullptr, 0, member};
}

constexpr std::array<SettingsItem, kSettingsItemCount> makeTable() {
    std::array<SettingsItem, kSettingsItemCount> table{};
    std::size_t i = 0;
    table[i++] = option("AddDate", &Settings::AddDate, 4);
    table[i++] = text("FixFname", SettingsItemKind::FileName, &Settings::FixFname);
    table[i++] = text("Folder", SettingsItemKind::Folder, &Settings::Folder);
    table[i++] = option("Port", &Settings::Port, 8, 1);
    table[i++] = option("CrcType", &Settings::CrcType, 1);
    table[i++] = option("OverWrite", &Settings::OverWrite, 1);
    table[i++] = option("StartUpSize", &Settings::StartUpSize, 1);
    table[i++] = option("AutoStart", &Settings::AutoStart, 1);
    table[i++] = option("Protocol", &Settings::Protocol, 1);
    for (int n = 1; n <= Settings::kFieldCount; ++n)
        table[i++] = {kFieldNames[n - 1], SettingsItemKind::FieldFlag, 0, 1, nullptr, n};
    table[i++] = text("TimeAdjust", SettingsItemKind::Switch, &Settings::TimeAdjust);
    return table;
}

constexpr std::array<SettingsItem, kSettingsItemCount> kTable = makeTable();

}  // namespace

const std::array<SettingsItem, kSettingsItemCount>& settingsTable() {
    return kTable;
}

const SettingsItem* findSettingsItem(std::string_view name) {
    const auto item = std::find_if(kTable.begin(), kTable.end(),
                                   [name](const SettingsItem& i) { return i.name == name; });
    return item == kTable.end() ? nullptr : &*item;
}

std::int16_t& numberOf(Settings& settings, const SettingsItem& item) {
    return item.option != nullptr ? settings.*item.option : settings.field(item.field);
}

std::int16_t numberOf(const Settings& settings, const SettingsItem& item) {
    return item.option != nullptr ? settings.*item.option : settings.field(item.field);
}

}  // namespace karune
