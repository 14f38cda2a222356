#include "config/DocumentsFolder.h"

#include <gtest/gtest.h>

#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace karune {
namespace {

TEST(DocumentsFolder, ReadsTheDocumentsEntryOfUserDirs) {
    const std::optional<std::string> home = "/home/taro";
    struct Case {
        const char* name;
        std::string content;
        std::optional<std::string> home;
        std::optional<std::string> folder;
    };
    const Case cases[] = {
        {"under home", "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n", home, "/home/taro/Documents"},
        {"Japanese name",
         "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\nXDG_DOCUMENTS_DIR=\"$HOME/ドキュメント\"\n", home,
         "/home/taro/ドキュメント"},
        {"home itself", "XDG_DOCUMENTS_DIR=\"$HOME\"\n", home, "/home/taro"},
        {"absolute", "XDG_DOCUMENTS_DIR=\"/data/docs\"\n", home, "/data/docs"},
        {"absolute without home", "XDG_DOCUMENTS_DIR=\"/data/docs\"\n", std::nullopt, "/data/docs"},
        {"CR LF and blanks", "  XDG_DOCUMENTS_DIR=\"$HOME/D\" \r\n", home, "/home/taro/D"},
        {"escaped quote", "XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"\n", home,
         "/home/taro/My \"Docs\""},
        {"last one wins", "XDG_DOCUMENTS_DIR=\"/a\"\nXDG_DOCUMENTS_DIR=\"/b\"\n", home, "/b"},
        {"commented out", "# XDG_DOCUMENTS_DIR=\"/a\"\n", home, std::nullopt},
        {"other entries only", "XDG_MUSIC_DIR=\"$HOME/Music\"\n", home, std::nullopt},
        {"relative", "XDG_DOCUMENTS_DIR=\"docs\"\n", home, std::nullopt},
        {"another variable", "XDG_DOCUMENTS_DIR=\"$HOMEDIR/docs\"\n", home, std::nullopt},
        {"home unknown", "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n", std::nullopt, std::nullopt},
        {"unquoted", "XDG_DOCUMENTS_DIR=/data/docs\n", home, std::nullopt},
        {"quote left open", "XDG_DOCUMENTS_DIR=\"/data/docs\n", home, std::nullopt},
        {"empty", "", home, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(documentsDirFromUserDirs(c.content, c.home), c.folder) << c.name;
}

class DocumentsFolderLookup : public ::testing::Test {
protected:
    void userDirs(const std::filesystem::path& configDir, const std::string& content) {
        std::filesystem::create_directories(configDir);
        test::writeFile(configDir / "user-dirs.dirs", content);
    }
    std::string home() const { return temp_.path().string(); }

    test::TempFolder temp_;
};

TEST_F(DocumentsFolderLookup, PrefersTheConfigHomeThenDotConfigThenDocumentsUnderHome) {
    EXPECT_EQ(findDocumentsFolder(std::nullopt, std::nullopt), "");
    EXPECT_EQ(findDocumentsFolder("", std::nullopt), "");
    userDirs(temp_.path() / ".config", "XDG_MUSIC_DIR=\"$HOME/Music\"\n");
    EXPECT_EQ(findDocumentsFolder(home(), std::nullopt), "");
    std::filesystem::create_directory(temp_.path() / "Documents");
    EXPECT_EQ(findDocumentsFolder(home(), std::nullopt), home() + "/Documents");
    EXPECT_EQ(findDocumentsFolder(home(), (temp_.path() / "none").string()), home() + "/Documents");

    const auto config = temp_.path() / "cfg";
    userDirs(config, "XDG_DOCUMENTS_DIR=\"$HOME/from-config-home\"\n");
    userDirs(temp_.path() / ".config", "XDG_DOCUMENTS_DIR=\"$HOME/from-dot-config\"\n");
    EXPECT_EQ(findDocumentsFolder(home(), config.string()), home() + "/from-config-home");
    EXPECT_EQ(findDocumentsFolder(home(), std::nullopt), home() + "/from-dot-config");
    EXPECT_EQ(findDocumentsFolder(home(), "relative/cfg"), home() + "/from-dot-config")
        << "a relative config home is ignored";
    userDirs(config, "XDG_DOCUMENTS_DIR=\"/srv/docs\"\n");
    EXPECT_EQ(findDocumentsFolder(std::nullopt, config.string()), "/srv/docs");
}

}  // namespace
}  // namespace karune
