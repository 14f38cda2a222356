#include "ui/core/SettingsDialogLogic.h"

#include <gtest/gtest.h>

#include <vector>

namespace karune::ui {
namespace {

// The controls load from the record; each control's event changes its item of the working copy;
// "OK" hands the copy to the save.
TEST(SettingsDialogLogic, EventsChangeTheWorkingCopyAndOkSavesIt) {
    Settings before = defaultSettings("/data");
    before.Port = 3;
    before.FixFname = "KEN";
    before.AddDate = 4;
    before.CrcType = 1;
    before.field(3) = 0;
    before.TimeAdjust = "0.6";
    std::array<bool, Settings::kFieldCount> fields;
    fields.fill(true);
    fields[2] = false;
    EXPECT_EQ(controlsFor(before),
              (SettingsControls{3, "/data", "KEN", {4, 0, 0, 0, 1, 0}, true, fields}));

    std::vector<Settings> saved;
    SettingsDialogLogic dialog(before, [&](const Settings& s) { saved.push_back(s); });
    Settings expected = before;
    dialog.portChanged(expected.Port = 8);
    dialog.fixFnameChanged(expected.FixFname = "KENX受");
    dialog.optionClicked(OptionGroup::AddDate, expected.AddDate = 1);
    dialog.optionClicked(OptionGroup::OverWrite, expected.OverWrite = 1);
    dialog.optionClicked(OptionGroup::StartUpSize, expected.StartUpSize = 1);
    dialog.optionClicked(OptionGroup::AutoStart, expected.AutoStart = 1);
    dialog.optionClicked(OptionGroup::CrcType, expected.CrcType = 0);
    dialog.optionClicked(OptionGroup::Protocol, expected.Protocol = 1);
    dialog.fieldToggled(2, (expected.field(3) = 1) == 1);
    dialog.fieldToggled(19, (expected.field(20) = 0) == 1);
    dialog.timeAdjustToggled((expected.TimeAdjust = "1") == "1");
    dialog.folderChosen(expected.Folder = "/elsewhere");
    EXPECT_EQ(dialog.workingCopy(), expected);
    EXPECT_TRUE(saved.empty()) << "only OK saves";
    dialog.ok();
    EXPECT_EQ(saved, std::vector<Settings>{expected});
    dialog.timeAdjustToggled(false);
    EXPECT_EQ(dialog.workingCopy().TimeAdjust, "0");
}

// TimeAdjust is taken as an integer, rounded half to even; anything but 0 is on.
TEST(SettingsDialogLogic, TimeAdjustCheckBoxAndFileNameRules) {
    const std::pair<const char*, bool> cases[] = {{"1", true},    {"0", false},  {"", false},
                                                  {"0.5", false}, {"0.6", true}, {"1.5", true},
                                                  {"-1", true},   {"x", false}};
    for (const auto& [text, checked] : cases)
        EXPECT_EQ(timeAdjustChecked(text), checked) << text;
    EXPECT_TRUE(acceptableFixFname("KEN受 01"));
    EXPECT_FALSE(acceptableFixFname("KEN\"X"));
}

}  // namespace
}  // namespace karune::ui
