#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/Settings.h"

namespace karune {

// The settings as named items for the command line, in the order of the settings file:
// AddDate FixFname Folder Port CrcType OverWrite StartUpSize AutoStart Protocol F1 ... F20
// TimeAdjust. Values are UTF-8 text, numbers in plain decimal.
std::vector<std::pair<std::string, std::string>> settingsItems(const Settings& settings);

// Applies one "NAME=VALUE" to `settings` with the checks the loader makes and the settings
// dialog's controls stand for: the numbers within their ranges, TimeAdjust as readTimeAdjust()
// reads it, Folder a folder that exists (made absolute, since the program never changes its
// working directory). Whether a text fits the settings file is left to the file's encoder. Returns
// why the assignment is refused, naming the item, or empty text when it was applied.
std::string applySettingsItem(Settings& settings, std::string_view assignment);

}  // namespace karune
