#include "ui/core/SettingsDialogLogic.h"

#include <cmath>
#include <cstdlib>

namespace karune::ui {

namespace {

// The record's field of the group (const or not, as the record).
template <typename Record>
auto& optionValue(Record& settings, OptionGroup group) {
    switch (group) {
        case OptionGroup::AddDate:
            return settings.AddDate;
        case OptionGroup::OverWrite:
            return settings.OverWrite;
        case OptionGroup::StartUpSize:
            return settings.StartUpSize;
        case OptionGroup::AutoStart:
            return settings.AutoStart;
        case OptionGroup::CrcType:
            return settings.CrcType;
        case OptionGroup::Protocol:
            break;
    }
    return settings.Protocol;
}

}  // namespace

std::string_view optionGroupName(OptionGroup group) {
    static constexpr std::array<std::string_view, kOptionGroupCount> kNames{
        "optAddDate",   "optOverWrite", "optStartUpSize",
        "optAutoStart", "optCrcType",   "optProtocol"};
    return kNames[static_cast<std::size_t>(group)];
}

SettingsControls controlsFor(const Settings& settings) {
    SettingsControls controls{settings.Port,
                              settings.Folder,
                              settings.FixFname,
                              {},
                              timeAdjustChecked(settings.TimeAdjust),
                              {}};
    for (int g = 0; g < kOptionGroupCount; ++g) {
        controls.options[static_cast<std::size_t>(g)] =
            optionValue(settings, static_cast<OptionGroup>(g));
    }
    for (int n = 1; n <= Settings::kFieldCount; ++n) {
        controls.fields[static_cast<std::size_t>(n - 1)] = settings.field(n) == 1;
    }
    return controls;
}

bool timeAdjustChecked(const std::string& timeAdjust) {
    char* end = nullptr;
    const double value = std::strtod(timeAdjust.c_str(), &end);
    return std::nearbyint(value) != 0.0;
}

bool acceptableFixFname(std::string_view text) {
    return text.find('"') == std::string_view::npos;
}

SettingsDialogLogic::SettingsDialogLogic(const Settings& settings,
                                         std::function<void(const Settings&)> save)
    : working_(settings), save_(std::move(save)) {}

void SettingsDialogLogic::portChanged(int value) {
    working_.Port = static_cast<std::int16_t>(value);
}

void SettingsDialogLogic::fixFnameChanged(const std::string& text) {
    working_.FixFname = text;
}

void SettingsDialogLogic::optionClicked(OptionGroup group, int index) {
    optionValue(working_, group) = static_cast<std::int16_t>(index);
}

void SettingsDialogLogic::fieldToggled(int index, bool on) {
    working_.field(index + 1) = on ? 1 : 0;
}

void SettingsDialogLogic::timeAdjustToggled(bool on) {
    working_.TimeAdjust = on ? "1" : "0";
}

void SettingsDialogLogic::folderChosen(const std::string& folder) {
    working_.Folder = folder;
}

void SettingsDialogLogic::ok() {
    save_(working_);
}

}  // namespace karune::ui
