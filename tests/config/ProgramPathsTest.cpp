#include "config/ProgramPaths.h"

#include <gtest/gtest.h>

namespace karune {
namespace {

TEST(ProgramPaths, PutsTheSettingsAndTheBackUpBesideTheProgram) {
    const auto here = std::filesystem::current_path();
    struct Case {
        std::filesystem::path executable;
        std::optional<std::filesystem::path> home;
        std::filesystem::path folder;
        std::filesystem::path iniFile;
    };
    const Case cases[] = {
        {"/opt/karune/bin/karune_modem", std::nullopt, "/opt/karune/bin",
         "/opt/karune/bin/karune_modem.ini"},
        {"/opt/k/KARUNE.exe", std::nullopt, "/opt/k", "/opt/k/KARUNE.ini"},
        {"/opt/k/karune.v3.exe", std::nullopt, "/opt/k", "/opt/k/karune.v3.ini"},
        {"/karune", std::nullopt, "/", "/karune.ini"},
        {"/opt/k/karune", std::filesystem::path("/srv/site"), "/srv/site", "/srv/site/karune.ini"},
        {"/opt/k/karune", std::filesystem::path("/srv/site/"), "/srv/site", "/srv/site/karune.ini"},
        {"/opt/k/karune", std::filesystem::path("/srv/./x/../site"), "/srv/site",
         "/srv/site/karune.ini"},
        {"/opt/k/karune", std::filesystem::path("site"), here / "site", here / "site/karune.ini"},
    };
    for (const auto& c : cases) {
        const ProgramPaths paths = programPaths(c.executable, c.home);
        const std::string name = c.executable.string() + " home " + c.home.value_or("-").string();
        EXPECT_EQ(paths.programFolder, c.folder) << name;
        EXPECT_EQ(paths.iniFile, c.iniFile) << name;
        EXPECT_EQ(paths.backFile, c.folder / "Back.txt") << name;
    }
}

TEST(ProgramPaths, FindsTheRunningExecutable) {
    const auto self = executablePath("ignored");
    EXPECT_TRUE(self.is_absolute()) << self;
    EXPECT_EQ(self.filename(), "config_tests");
    EXPECT_TRUE(std::filesystem::is_regular_file(self)) << self;
}

TEST(ProgramPaths, FallsBackOnTheProgramArgumentWithoutTheSelfLink) {
    const std::filesystem::path noLink = "/nonexistent/self/exe";
    const auto here = std::filesystem::current_path();
    EXPECT_EQ(executablePath("/usr/bin/karune", noLink), "/usr/bin/karune");
    EXPECT_EQ(executablePath("bin/karune", noLink), here / "bin/karune");
    EXPECT_EQ(executablePath("", noLink), std::filesystem::path());
    EXPECT_EQ(executablePath(nullptr, noLink), std::filesystem::path());
}

}  // namespace
}  // namespace karune
