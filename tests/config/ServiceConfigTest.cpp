#include "config/HomeFolder.h"
#include "config/SettingsItems.h"

#include <gtest/gtest.h>

#include <map>

#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace karune {
namespace {

TEST(HomeFolder, PrefersTheOptionThenTheProgramFolderThenThePerUserFolder) {
    struct Case {
        const char* name;
        bool option;
        bool settingsBesideProgram;
        bool programFolderWritable;
        bool perUserKnown;
        const char* chosen;  // "option", "program" or "user"
        bool installed = false;
    };
    const Case cases[] = {
        {"flag given", true, false, false, true, "option"},
        {"program folder with a settings file", false, true, false, true, "program"},
        {"writable program folder", false, false, true, true, "program"},
        {"read-only program folder", false, false, false, true, "user"},
        {"no per-user folder known", false, false, false, false, "program"},
        {"installed, even where it could write", false, true, true, true, "user", true},
        {"installed, flag given", true, false, true, true, "option", true},
    };
    for (const Case& c : cases) {
        test::TempFolder temp;
        const ProgramPaths beside = programPaths(temp.path() / "bin/karune-modem", std::nullopt);
        std::filesystem::create_directories(beside.programFolder);
        if (c.settingsBesideProgram)
            test::writeFile(beside.iniFile, "0\r\n");
        if (c.installed)
            test::writeFile(beside.programFolder / kInstalledMark, "");
        const auto perUser = c.perUserKnown ? temp.path() / "user/.config/karune-modem" : "";
        const std::map<std::string, std::filesystem::path> folders = {
            {"option", temp.path() / "site"}, {"program", beside.programFolder}, {"user", perUser}};
        const HomeChoice choice =
            chooseHomeFolder(c.option ? std::optional(folders.at("option")) : std::nullopt, beside,
                             perUser, [&](const std::filesystem::path& folder) {
                                 EXPECT_EQ(folder, beside.programFolder);
                                 return c.programFolderWritable;
                             });
        EXPECT_EQ(choice.folder, folders.at(c.chosen)) << c.name;
        EXPECT_EQ(prepareHomeFolder(choice), "") << c.name;
        EXPECT_EQ(std::filesystem::is_directory(choice.folder), !c.option) << c.name;
    }
}

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
        {"F1=0", ""},
        {"F21=0", "F21: no such"},
        {"F3=2", "F3: "},
        {"TimeAdjust=0", ""},
        {"TimeAdjust=10e-1", ""},
        {"TimeAdjust=2", "TimeAdjust: "},
        {"TimeAdjust=-1", "TimeAdjust: "},
        {"TimeAdjust=1x", "TimeAdjust: "},
        {"Folder=" + folder.text() + "/x", "Folder: "},
        {"Folder=", "Folder: "},
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
    EXPECT_EQ(applySettingsItem(s, "Folder=."), "");
    EXPECT_EQ(s.Folder, std::filesystem::current_path().string())
        << "kept absolute: the service starts in another folder";
    EXPECT_EQ(applySettingsItem(s, "FixFname=a=b"), "");
    EXPECT_EQ(s.FixFname, "a=b");
    // What --settings prints of a record the loader takes, --set takes back.
    Settings shown = defaultSettings(folder.text());
    shown.TimeAdjust = "0.5";
    for (const auto& [name, value] : settingsItems(shown))
        EXPECT_EQ(applySettingsItem(s, name + "=" + value), "") << name;
    EXPECT_EQ(s, shown);
}

}  // namespace
}  // namespace karune
