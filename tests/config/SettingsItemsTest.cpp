#include "config/SettingsItems.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace karune {
namespace {

// The names and their order are checked where --settings prints them.
TEST(SettingsItems, AppliesWhatTheDialogCouldSetAndRefusesTheRest) {
    test::TempFolder folder;
    struct Case {
        std::string assignment;
        std::string refusal;  // the start of the refusal; empty: applied
    };
    const Case cases[] = {
        {"AddDate=4", ""},
        {"AddDate=5", "AddDate: "},
        {"Port=8", ""},
        {"Port=0", "Port: "},
        {"Port=1.0", "Port: "},
        {"Port=", "Port: "},
        {"Protocol=-1", "Protocol: "},
        {"F1=0", ""},
        {"F21=0", "F21: no such"},
        {"F01=0", "F01: no such"},
        {"F3=2", "F3: "},
        {"TimeAdjust=0", ""},
        {"TimeAdjust=0.5", "TimeAdjust: "},
        {"FixFname=a=b", ""},
        {"Folder=" + folder.text() + "/", ""},
        {"Folder=" + folder.text() + "/x", "Folder: "},
        {"Folder=", "Folder: "},
        {"port=1", "port: no such"},
        {"Port", "Port: not NAME=VALUE"},
    };
    for (const Case& c : cases) {
        Settings s = defaultSettings("/data");
        const Settings before = s;
        const std::string refusal = applySettingsItem(s, c.assignment);
        EXPECT_TRUE(refusal.starts_with(c.refusal) && refusal.empty() == c.refusal.empty())
            << c.assignment << " -> " << refusal;
        EXPECT_EQ(s == before, !c.refusal.empty()) << c.assignment;
    }
    Settings s = defaultSettings("/data");
    EXPECT_EQ(applySettingsItem(s, "Folder=" + folder.text() + "/"), "");
    EXPECT_EQ(s.Folder, folder.text());
    EXPECT_EQ(applySettingsItem(s, "FixFname=a=b"), "");
    EXPECT_EQ(s.FixFname, "a=b");
}

}  // namespace
}  // namespace karune
