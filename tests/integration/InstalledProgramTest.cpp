// The program installed for everyone, started by a user who cannot write its folder: it keeps its
// settings and back-up file in that user's own folder and serves a call.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "integration/IntegrationSupport.h"

namespace karune::test {
namespace {

constexpr uid_t kNobody = 65534;

TEST(InstalledProgram, KeepsItsFilesInThePerUserFolderOfAUserWhoCannotWriteTheProgramFolder) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to install and to start the program as another user";
    TempFolder scratch;
    const auto prefix = scratch.path() / "usr";
    ChildProcess install(KARUNE_CMAKE,
                         {"--install", KARUNE_BUILD_DIR, "--prefix", prefix.string()});
    ASSERT_EQ(install.waitForExit(60s), 0) << install.errorOutput();
    EXPECT_TRUE(std::filesystem::is_regular_file(prefix / "share/icons/hicolor/scalable/apps" /
                                                 "karune-modem.svg"));

    const auto user = scratch.path() / "user";
    std::filesystem::create_directories(user / "Documents");
    ASSERT_EQ(::chown(user.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chown((user / "Documents").c_str(), kNobody, kNobody), 0);
    const auto records = scratch.path() / "records.txt";
    writeFile(records, crlfLines({cp932("ｶﾀｶﾅ,表"), "plain"}));
    Simulator sim = startSimulator(
        {"--records", records.string(), "--name", "HT01", "--ring-delay", "1", "--timeout", "60"});
    ASSERT_FALSE(sim.ptyPath.empty());
    ASSERT_EQ(::chmod(sim.ptyPath.c_str(), 0666), 0);

    ChildProcess modem(
        "/usr/bin/setpriv",
        {"--reuid=65534", "--regid=65534", "--clear-groups", "--",
         (prefix / "bin/karune-modem").string(), "--headless"},
        {{"HOME", user.string()}, {"XDG_CONFIG_HOME", ""}, {"KARUNE_COM1", sim.ptyPath}});
    EXPECT_EQ(modem.waitForExit(60s), 0) << modem.errorOutput();
    const auto home = user / ".config/karune-modem";
    EXPECT_TRUE(std::filesystem::is_regular_file(home / "karune-modem.ini"));
    EXPECT_EQ(fileBytes(home / "Back.txt"), crlfLines({cp932("ｶﾀｶﾅ,表"), "plain"}));
    EXPECT_TRUE(std::filesystem::is_regular_file(user / "Documents/HT01.txt"));
    EXPECT_FALSE(std::filesystem::exists(prefix / "bin/karune-modem.ini"));
}

}  // namespace
}  // namespace karune::test
