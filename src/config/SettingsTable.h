#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/Settings.h"

namespace karune {

// Which rule an item's values follow.
enum class SettingsItemKind {
    Option,     // a number from low to high: an option group's index, or the port's scroll bar
    FieldFlag,  // F(n): 1 keeps the field, 0 drops it
    FileName,   // FixFname: any text the settings file holds
    Folder,     // a folder that exists
    Switch,     // TimeAdjust: a text read by readTimeAdjust()
};

// One of the settings file's 30 items.
struct SettingsItem {
    std::string_view name;  // as --settings prints it and --set takes it
    SettingsItemKind kind = SettingsItemKind::Option;
    // Option and FieldFlag: the values the dialog's controls offer (AddDate's five options, the
    // port's scroll bar from 1 to 8, two options or a check box for each of the others).
    std::int16_t low = 0;
    std::int16_t high = 0;
    std::int16_t Settings::*option = nullptr;  // Option
    int field = 0;                             // FieldFlag: n of F(n)
    std::string Settings::*text = nullptr;     // FileName, Folder, Switch

    bool isText() const { return text != nullptr; }
};

inline constexpr std::size_t kSettingsItemCount = 30;

// The items in the order of the settings file. The file's writer and reader, the loader's check,
// --settings, --set and the settings dialog take the names, the ranges and the order from here.
const std::array<SettingsItem, kSettingsItemCount>& settingsTable();

// The item called `name`, or null.
const SettingsItem* findSettingsItem(std::string_view name);

// The number an Option or FieldFlag item stands for in `settings`.
std::int16_t& numberOf(Settings& settings, const SettingsItem& item);
std::int16_t numberOf(const Settings& settings, const SettingsItem& item);

}  // namespace karune
