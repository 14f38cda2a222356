#include "config/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstring>

#include "config/SettingsFile.h"
#include "config/SettingsPrinter.h"
#include "support/FakeMessages.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace karune {
namespace {

const std::string kReadTitle = "File Read";
const std::string kOpenTitle = "File Open Error";
const std::string kWriteTitle = "File Write Error";
const std::string kFolderTitle = "エラー！！";
const std::string kFolderText = "保存ﾌｫﾙﾀﾞが存在しません\r\n再設定を行ってください！！";

std::string resetText(const std::string& reason) {
    return "INIﾌｧｲﾙ読み込みｴﾗｰ : " + reason +
           "\r\nINIﾌｧｲﾙを初期化します\r\n保存ﾌｫﾙﾀﾞの初期値はﾏｲﾄﾞｷｭﾒﾝﾄﾌｫﾙﾀﾞです\r\n"
           "運用に適したﾌｫﾙﾀﾞを再設定してください";
}

std::string currentDirectory() {
    return std::filesystem::current_path().string();
}

// A program folder with a documents folder beside it and an optional settings file.
class SettingsStoreTest : public ::testing::Test {
protected:
    SettingsStoreTest()
        : docs_((temp_.path() / "docs").string()),
          data_((temp_.path() / "data").string()),
          env_{temp_.path() / "karune.ini", temp_.path(), docs_, true, messages_} {
        std::filesystem::create_directory(docs_);
        std::filesystem::create_directory(data_);
    }

    // A good record whose save folder exists.
    Settings stored() const {
        Settings s = defaultSettings(data_);
        s.AddDate = 3;
        s.FixFname = "ﾃﾞｰﾀ";
        s.Port = 4;
        s.Protocol = 1;
        s.field(2) = 0;
        s.TimeAdjust = "0";
        return s;
    }

    void store(const Settings& s) { test::writeFile(env_.iniFile, encodeSettingsLine(s).bytes); }
    std::string fileBytes() const { return test::fileBytes(env_.iniFile); }
    // Each message as title / text, marked when it carries the critical icon.
    std::vector<std::string> described() const {
        std::vector<std::string> result;
        for (const auto& m : messages_.shown())
            result.push_back(m.title + " / " + m.text +
                             (m.icon == MessageIcon::Critical ? " (critical)" : ""));
        return result;
    }
    // After a reset for `reason`: that one message, the defaults in use and in the file, and the
    // run going on without a folder message.
    void expectReset(const LoadResult& result, const std::string& reason,
                     const std::string& defaultFolder, const std::string& trace) {
        EXPECT_EQ(described(), std::vector<std::string>{kReadTitle + " / " + resetText(reason)})
            << trace;
        EXPECT_EQ(result.settings, defaultSettings(defaultFolder)) << trace;
        EXPECT_EQ(parseSettingsText(fileBytes()), defaultSettings(defaultFolder)) << trace;
        EXPECT_FALSE(result.statusText) << trace;
        EXPECT_FALSE(result.endProgram) << trace;
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> result;
        for (const auto& m : messages_.shown())
            result.push_back(m.title);
        return result;
    }

    test::TempFolder temp_;
    std::string docs_;
    std::string data_;
    test::FakeMessages messages_;
    SettingsEnvironment env_;
};

TEST_F(SettingsStoreTest, LoadsAGoodFileWithoutAWord) {
    store(stored());
    const std::string before = fileBytes();
    const LoadResult result = LoadSettings(env_);
    EXPECT_EQ(result.settings, stored());
    EXPECT_EQ(result.backFile, temp_.path() / "Back.txt");
    EXPECT_FALSE(result.endProgram);
    EXPECT_FALSE(result.statusText);
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_EQ(fileBytes(), before);
}

TEST_F(SettingsStoreTest, AMissingFileIsResetWithoutCheckingTheDefaultFolder) {
    env_.documentsFolder = (temp_.path() / "no such folder").string();
    const LoadResult result = LoadSettings(env_);
    expectReset(result, "ﾌｧｲﾙなし", temp_.path().string(), "missing file");
    EXPECT_EQ(result.backFile, temp_.path() / "Back.txt");
}

// What one settings file leads to: the reset reason (empty: none) and whether the folder
// message follows.
struct LoadCase {
    const char* name;
    void (*spoil)(Settings&);  // applied to the good record before it is stored
    std::string reason;
};

void keep(Settings&) {}

TEST_F(SettingsStoreTest, ResetsForTheFirstProblemOnlyAndRewritesTheFile) {
    const LoadCase cases[] = {
        {"good", keep, ""},
        {"AddDate 5", [](Settings& s) { s.AddDate = 5; }, "ﾊﾟﾗﾒｰﾀ不正"},
        {"TimeAdjust letters", [](Settings& s) { s.TimeAdjust = "on"; }, "ﾊﾟﾗﾒｰﾀ不正"},
        {"bad Port and bad Field(1)",
         [](Settings& s) {
             s.Port = 0;
             s.field(1) = 5;
         },
         "ﾊﾟﾗﾒｰﾀ不正"},
        {"Field(7) 2 and Field(9) -1",
         [](Settings& s) {
             s.field(7) = 2;
             s.field(9) = -1;
         },
         "ﾊﾟﾗﾒｰﾀ不正(ﾌｨｰﾙﾄﾞ)"},
        {"Field(20) 3", [](Settings& s) { s.field(20) = 3; }, "ﾊﾟﾗﾒｰﾀ不正(ﾌｨｰﾙﾄﾞ)"},
    };
    for (const auto& c : cases) {
        messages_.clear();
        Settings file = stored();
        c.spoil(file);
        store(file);
        const LoadResult result = LoadSettings(env_);
        if (c.reason.empty()) {
            EXPECT_TRUE(messages_.shown().empty()) << c.name;
            EXPECT_EQ(result.settings, file) << c.name;
            EXPECT_EQ(parseSettingsText(fileBytes()), file) << c.name;
            continue;
        }
        expectReset(result, c.reason, docs_, c.name);
    }
}

TEST_F(SettingsStoreTest, AShortOrMistypedFileIsResetAndItsDefaultsChecked) {
    const std::string good = encodeSettingsLine(stored()).bytes;
    const std::string cases[] = {
        good.substr(0, good.rfind(',')) + "\r\n",  // 29 items
        "x" + good,                                // a letter before AddDate
        "",                                        // empty file
        std::string(1024 * 1024, '\n') + good,     // the record beyond the first MiB
    };
    for (const auto& text : cases) {
        messages_.clear();
        test::writeFile(env_.iniFile, text);
        expectReset(LoadSettings(env_), "ﾌｧｲﾙ不正", docs_, text.substr(0, 40));
    }
}

TEST_F(SettingsStoreTest, AMistypedFileResetToAMissingFolderAlsoGetsTheFolderMessage) {
    env_.documentsFolder = (temp_.path() / "no such folder").string();
    env_.programFolder = temp_.path() / "gone";
    test::writeFile(env_.iniFile, "0,\"\"\r\n");
    const LoadResult result = LoadSettings(env_);
    EXPECT_EQ(titles(), (std::vector<std::string>{kReadTitle, kFolderTitle}));
    EXPECT_EQ(messages_.shown()[0].text, resetText("ﾌｧｲﾙ不正"));
    EXPECT_EQ(result.settings.Folder, currentDirectory());
    EXPECT_EQ(parseSettingsText(fileBytes()), defaultSettings(env_.programFolder.string()))
        << "the file keeps the default folder";
}

TEST_F(SettingsStoreTest, AMissingSaveFolderFallsBackToTheCurrentDirectoryForThisRun) {
    struct Case {
        const char* name;
        std::string folder;
    };
    const std::string aFile = (temp_.path() / "plain.txt").string();
    test::writeFile(aFile, "x");
    const Case cases[] = {
        {"deleted folder", (temp_.path() / "gone").string()},
        {"a file, not a folder", aFile},
        {"below a file", aFile + "/sub"},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        messages_.clear();
        Settings file = stored();
        file.Folder = c.folder;
        store(file);
        const std::string before = fileBytes();
        const LoadResult result = LoadSettings(env_);

        EXPECT_EQ(described(),
                  std::vector<std::string>{kFolderTitle + " / " + kFolderText + " (critical)"})
            << c.name;
        EXPECT_EQ(result.statusText, kFolderText) << c.name;
        Settings expected = file;
        expected.Folder = currentDirectory();
        EXPECT_EQ(result.settings, expected) << c.name;
        EXPECT_EQ(fileBytes(), before) << c.name << ": the file is not rewritten";
        EXPECT_FALSE(result.endProgram) << c.name;
    }
}

TEST_F(SettingsStoreTest, TheResetMessageNamesTheDefaultFolder) {
    struct Case {
        const char* name;
        bool osVersion6OrLater;
        std::string documents;
        std::string expectedFolder;
        std::string defaultLine;
    };
    const std::string program = temp_.path().string();
    const Case cases[] = {
        {"documents folder", true, docs_, docs_, "保存ﾌｫﾙﾀﾞの初期値はﾏｲﾄﾞｷｭﾒﾝﾄﾌｫﾙﾀﾞです"},
        {"no documents folder known", true, "", program, "保存ﾌｫﾙﾀﾞの初期値はﾏｲﾄﾞｷｭﾒﾝﾄﾌｫﾙﾀﾞです"},
        {"program folder", false, docs_, program, "保存ﾌｫﾙﾀﾞの初期値は " + program + " です"},
    };
    for (const auto& c : cases) {
        messages_.clear();
        env_.osVersion6OrLater = c.osVersion6OrLater;
        env_.documentsFolder = c.documents;
        const ResetResult result = InitSettings(env_, "ﾊﾟﾗﾒｰﾀ不正(ﾌｨｰﾙﾄﾞ)");
        ASSERT_EQ(titles(), std::vector<std::string>{kReadTitle}) << c.name;
        EXPECT_EQ(messages_.shown()[0].text,
                  "INIﾌｧｲﾙ読み込みｴﾗｰ : ﾊﾟﾗﾒｰﾀ不正(ﾌｨｰﾙﾄﾞ)\r\nINIﾌｧｲﾙを初期化します\r\n" +
                      c.defaultLine + "\r\n運用に適したﾌｫﾙﾀﾞを再設定してください")
            << c.name;
        EXPECT_EQ(result.settings, defaultSettings(c.expectedFolder)) << c.name;
        EXPECT_EQ(parseSettingsText(fileBytes()), defaultSettings(c.expectedFolder)) << c.name;
        EXPECT_FALSE(result.endProgram) << c.name;
    }
}

// How a failed write of the settings file is told: title, then text.
std::string openError(int error) {
    return kOpenTitle + " / INIﾌｧｲﾙ書き込みｵｰﾌﾟﾝｴﾗｰ : " + std::strerror(error);
}
std::string writeError(int error) {
    return kWriteTitle + " / INIﾌｧｲﾙ書き込みｴﾗｰ : " + std::strerror(error);
}

// A settings file that cannot be written: a folder in its place, below a regular file, or on a
// full device (all hold for root too, unlike permission bits).
TEST_F(SettingsStoreTest, AResetThatCannotWriteTheFileEndsTheProgram) {
    const auto regularFile = temp_.path() / "plain.txt";
    test::writeFile(regularFile, "x");
    const auto folder = temp_.path() / "folder.ini";
    std::filesystem::create_directory(folder);
    const std::pair<std::filesystem::path, std::string> cases[] = {
        {folder, openError(EISDIR)},
        {regularFile / "karune.ini", openError(ENOTDIR)},
        {"/dev/full", writeError(ENOSPC)}};
    for (const auto& [iniFile, failure] : cases) {
        messages_.clear();
        env_.iniFile = iniFile;
        env_.documentsFolder = (temp_.path() / "no such folder").string();
        const LoadResult result = LoadSettings(env_);
        EXPECT_TRUE(result.endProgram) << failure;
        ASSERT_EQ(titles().size(), 2u) << failure;
        EXPECT_EQ(titles()[0], kReadTitle);
        EXPECT_EQ(described()[1], failure);
        EXPECT_FALSE(result.statusText) << failure << ": no folder check after the end";
    }
}

TEST_F(SettingsStoreTest, AResetWithAFolderTheFileCannotHoldEndsTheProgramLeavingTheFile) {
    env_.documentsFolder = (temp_.path() / "jos\xC3\xA9").string();
    env_.programFolder = env_.documentsFolder;  // the last resort, whatever it is
    const ResetResult result = InitSettings(env_, "ﾌｧｲﾙなし");
    EXPECT_TRUE(result.endProgram);
    ASSERT_EQ(titles(), (std::vector<std::string>{kReadTitle, kWriteTitle}));
    EXPECT_TRUE(messages_.shown()[1].text.starts_with("INIﾌｧｲﾙ書き込みｴﾗｰ : "));
    EXPECT_NE(messages_.shown()[1].text.find("Folder"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(env_.iniFile));
}

TEST_F(SettingsStoreTest, SavingWritesTheWorkingCopyAndTakesItOver) {
    store(defaultSettings(docs_));
    Settings settings = defaultSettings(docs_);
    SaveSettings(env_, stored(), settings);
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_EQ(settings, stored());
    EXPECT_EQ(fileBytes(), encodeSettingsLine(stored()).bytes);
}

TEST_F(SettingsStoreTest, SavingTakesTheValuesOverEvenWhenTheFileCannotBeWritten) {
    const auto regularFile = temp_.path() / "plain.txt";
    test::writeFile(regularFile, "x");
    const std::pair<std::filesystem::path, std::vector<std::string>> cases[] = {
        {regularFile / "karune.ini", {openError(ENOTDIR), writeError(EBADF)}},
        {"/dev/full", {writeError(ENOSPC)}}};
    for (const auto& [iniFile, failures] : cases) {
        messages_.clear();
        env_.iniFile = iniFile;
        Settings settings = defaultSettings(docs_);
        SaveSettings(env_, stored(), settings);
        EXPECT_EQ(settings, stored()) << iniFile;
        EXPECT_EQ(described(), failures);
    }
}

TEST_F(SettingsStoreTest, SavingAFolderTheFileCannotHoldKeepsTheOldFile) {
    store(stored());
    const std::string before = fileBytes();
    Settings workingCopy = stored();
    workingCopy.Folder = "/srv/\xF0\x9F\x93\x81";
    Settings settings = stored();
    SaveSettings(env_, workingCopy, settings);
    ASSERT_EQ(titles(), std::vector<std::string>{kWriteTitle});
    EXPECT_NE(messages_.shown()[0].text.find("Folder"), std::string::npos);
    EXPECT_EQ(fileBytes(), before);
    EXPECT_EQ(settings, workingCopy);
}

}  // namespace
}  // namespace karune
