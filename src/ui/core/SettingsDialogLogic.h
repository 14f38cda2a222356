#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "config/Settings.h"

namespace karune::ui {

// The port scroll bar's range.
inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 8;

// The exclusive option groups, in the order of SettingsControls::options.
enum class OptionGroup { AddDate, OverWrite, StartUpSize, AutoStart, CrcType, Protocol };
inline constexpr int kOptionGroupCount = 6;

// "optAddDate" ... "optProtocol": the group's controls are named this and their index.
std::string_view optionGroupName(OptionGroup group);

// What the controls show when the dialog loads. An option index outside its group leaves the
// group with none switched on.
struct SettingsControls {
    int port;
    std::string folder;
    std::string fixFname;
    std::array<int, kOptionGroupCount> options;  // by OptionGroup
    bool timeAdjust;
    std::array<bool, Settings::kFieldCount> fields;
    bool operator==(const SettingsControls&) const = default;
};
SettingsControls controlsFor(const Settings& settings);

// The check box state of a TimeAdjust text taken as an integer (rounded half to even, as the
// settings file's numbers are): anything but 0 is on.
bool timeAdjustChecked(const std::string& timeAdjust);

// What the file name box lets the operator keep: the settings file quotes its texts and has no
// escape for a double quote.
bool acceptableFixFname(std::string_view text);

// The settings dialog's working copy: loaded from the settings, changed by the controls' events,
// handed to `save` by "OK" (which writes the settings file and takes the copy over). "ｷｬﾝｾﾙ" and
// the close box drop it. While the folder chooser is open the dialog is disabled and refuses to
// close.
class SettingsDialogLogic {
public:
    SettingsDialogLogic(const Settings& settings, std::function<void(const Settings&)> save);

    const Settings& workingCopy() const { return working_; }

    void portChanged(int value);
    void fixFnameChanged(const std::string& text);
    void optionClicked(OptionGroup group, int index);
    void fieldToggled(int index, bool on);  // 0..19: Field(index + 1)
    void timeAdjustToggled(bool on);        // "1" / "0"
    void folderChosen(const std::string& folder);
    void ok();

    void chooserOpened() { chooserOpen_ = true; }
    void chooserClosed() { chooserOpen_ = false; }
    bool closeAllowed() const { return !chooserOpen_; }

private:
    Settings working_;
    std::function<void(const Settings&)> save_;
    bool chooserOpen_ = false;
};

}  // namespace karune::ui
