#include "ui/core/SettingsDialogLogic.h"

#include <gtest/gtest.h>

#include <vector>

namespace karune::ui {
namespace {

Settings sample() {
    Settings s = defaultSettings("/data");
    s.Port = 3;
    s.FixFname = "KEN";
    s.AddDate = 4;
    s.CrcType = 1;
    s.field(3) = 0;
    s.field(20) = 1;
    s.TimeAdjust = "0.6";
    return s;
}

// The controls load from the record; each control's event changes its item of the working copy
// alone; "OK" hands the copy to the save, and without it the record stays as it was.
TEST(SettingsDialogLogic, EventsChangeTheWorkingCopyAndOkSavesIt) {
    const Settings before = sample();
    const SettingsControls shown = controlsFor(before);
    EXPECT_EQ(shown.port, 3);
    EXPECT_EQ(shown.folder, "/data");
    EXPECT_EQ(shown.fixFname, "KEN");
    EXPECT_EQ(shown.options, (std::array<int, 6>{4, 0, 0, 0, 1, 0}));
    EXPECT_TRUE(shown.timeAdjust);
    EXPECT_FALSE(shown.fields[2]);
    EXPECT_TRUE(shown.fields[19]);

    using Change = void (*)(SettingsDialogLogic&, Settings&);
    const Change changes[] = {
        [](SettingsDialogLogic& d, Settings& s) { d.portChanged(s.Port = 8); },
        [](SettingsDialogLogic& d, Settings& s) { d.fixFnameChanged(s.FixFname = "KENX受"); },
        [](SettingsDialogLogic& d, Settings& s) { d.fixFnameChanged(s.FixFname = ""); },
        [](SettingsDialogLogic& d, Settings& s) {
            d.optionClicked(OptionGroup::AddDate, s.AddDate = 1);
        },
        [](SettingsDialogLogic& d, Settings& s) {
            d.optionClicked(OptionGroup::OverWrite, s.OverWrite = 1);
        },
        [](SettingsDialogLogic& d, Settings& s) {
            d.optionClicked(OptionGroup::StartUpSize, s.StartUpSize = 1);
        },
        [](SettingsDialogLogic& d, Settings& s) {
            d.optionClicked(OptionGroup::AutoStart, s.AutoStart = 1);
        },
        [](SettingsDialogLogic& d, Settings& s) {
            d.optionClicked(OptionGroup::CrcType, s.CrcType = 0);
        },
        [](SettingsDialogLogic& d, Settings& s) {
            d.optionClicked(OptionGroup::Protocol, s.Protocol = 1);
        },
        [](SettingsDialogLogic& d, Settings& s) { d.fieldToggled(2, (s.field(3) = 1) == 1); },
        [](SettingsDialogLogic& d, Settings& s) { d.fieldToggled(19, (s.field(20) = 0) == 1); },
        [](SettingsDialogLogic& d, Settings& s) {
            d.timeAdjustToggled((s.TimeAdjust = "1") == "1");
        },
        [](SettingsDialogLogic& d, Settings& s) {
            d.timeAdjustToggled((s.TimeAdjust = "0") == "1");
        },
        [](SettingsDialogLogic& d, Settings& s) { d.folderChosen(s.Folder = "/elsewhere"); },
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        SCOPED_TRACE(i);
        std::vector<Settings> saved;
        SettingsDialogLogic dialog(before, [&](const Settings& s) { saved.push_back(s); });
        Settings expected = before;
        changes[i](dialog, expected);
        EXPECT_EQ(dialog.workingCopy(), expected);
        EXPECT_TRUE(saved.empty());
        dialog.ok();
        EXPECT_EQ(saved, std::vector<Settings>{expected});
    }
}

TEST(SettingsDialogLogic, OptionGroupsNameTheirControls) {
    const std::pair<OptionGroup, const char*> names[] = {
        {OptionGroup::AddDate, "optAddDate"},         {OptionGroup::OverWrite, "optOverWrite"},
        {OptionGroup::StartUpSize, "optStartUpSize"}, {OptionGroup::AutoStart, "optAutoStart"},
        {OptionGroup::CrcType, "optCrcType"},         {OptionGroup::Protocol, "optProtocol"}};
    for (const auto& [group, name] : names) {
        EXPECT_EQ(optionGroupName(group), name);
    }
}

// TimeAdjust is taken as an integer, rounded half to even; anything but 0 is on.
TEST(SettingsDialogLogic, TimeAdjustCheckBoxAndFileNameRules) {
    const std::pair<const char*, bool> cases[] = {{"1", true},    {"0", false},  {"", false},
                                                  {"0.5", false}, {"0.6", true}, {"1.5", true},
                                                  {"-1", true},   {"x", false}};
    for (const auto& [text, checked] : cases) {
        EXPECT_EQ(timeAdjustChecked(text), checked) << text;
    }
    EXPECT_TRUE(acceptableFixFname("KEN受 01"));
    EXPECT_FALSE(acceptableFixFname("KEN\"X"));
}

TEST(SettingsDialogLogic, TheOpenChooserKeepsTheDialog) {
    SettingsDialogLogic dialog(sample(), [](const Settings&) {});
    EXPECT_TRUE(dialog.closeAllowed());
    dialog.chooserOpened();
    EXPECT_FALSE(dialog.closeAllowed());
    dialog.chooserClosed();
    EXPECT_TRUE(dialog.closeAllowed());
}

}  // namespace
}  // namespace karune::ui
