#include "config/HomeFolder.h"

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
    };
    const Case cases[] = {
        {"flag given", true, false, false, true, "option"},
        {"program folder with a settings file", false, true, false, true, "program"},
        {"writable program folder", false, false, true, true, "program"},
        {"read-only program folder", false, false, false, true, "user"},
        {"no per-user folder known", false, false, false, false, "program"},
    };
    for (const Case& c : cases) {
        test::TempFolder temp;
        const ProgramPaths beside = programPaths(temp.path() / "bin/karune-modem", std::nullopt);
        std::filesystem::create_directories(beside.programFolder);
        if (c.settingsBesideProgram)
            test::writeFile(beside.iniFile, "0\r\n");
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

}  // namespace
}  // namespace karune
