#include "config/SettingsStore.h"

#include <gtest/gtest.h>

#include "config/SettingsFile.h"
#include "config/Utf8Path.h"
#include "support/FakeMessages.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace karune {
namespace {

// A good file loads without a word and stays as it was; a missing, damaged or refused one is
// reset to the defaults (the documents folder) with one message naming the reason, and rewritten.
TEST(SettingsStore, LoadsAGoodFileAndResetsADamagedOneWithItsReason) {
    test::TempFolder temp;
    test::FakeMessages messages;
    const std::string docs = (temp.path() / "docs").string();
    std::filesystem::create_directory(docs);
    const SettingsEnvironment env{temp.path() / "karune.ini", temp.path(), docs, true, messages};
    Settings good = defaultSettings(temp.text());
    good.Port = 4;
    good.FixFname = "ﾃﾞｰﾀ";
    const auto spoilt = [&](void (*spoil)(Settings&)) {
        Settings s = good;
        spoil(s);
        return encodeSettingsLine(s).bytes;
    };
    const std::string line = encodeSettingsLine(good).bytes;
    const struct {
        std::string text;  // "-": no file
        std::string reason;
    } cases[] = {
        {line, ""},
        {"-", "ﾌｧｲﾙなし"},
        {line.substr(0, line.rfind(',')) + "\r\n", "ﾌｧｲﾙ不正"},
        {spoilt([](Settings& s) { s.AddDate = 5; }), "ﾊﾟﾗﾒｰﾀ不正"},
        {spoilt([](Settings& s) { s.TimeAdjust = "2"; }), "ﾊﾟﾗﾒｰﾀ不正"},
        {spoilt([](Settings& s) { s.field(7) = 2; }), "ﾊﾟﾗﾒｰﾀ不正(ﾌｨｰﾙﾄﾞ)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        messages.clear();
        std::filesystem::remove(env.iniFile);
        if (c.text != "-")
            test::writeFile(env.iniFile, c.text);
        const LoadResult result = LoadSettings(env);
        EXPECT_EQ(result.backFile, temp.path() / "Back.txt");
        EXPECT_FALSE(result.endProgram);
        const Settings expected = c.reason.empty() ? good : defaultSettings(docs);
        EXPECT_EQ(result.settings, expected);
        EXPECT_EQ(parseSettingsText(test::fileBytes(env.iniFile)), expected);
        if (c.reason.empty()) {
            EXPECT_TRUE(messages.shown().empty());
            continue;
        }
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].title, "File Read");
        EXPECT_TRUE(
            messages.shown()[0].text.starts_with("INIﾌｧｲﾙ読み込みｴﾗｰ : " + c.reason + "\r\n"));
    }
    // A save folder that is gone serves the current directory for this run only, with a message.
    messages.clear();
    Settings gone = good;
    gone.Folder = (temp.path() / "gone").string();
    test::writeFile(env.iniFile, encodeSettingsLine(gone).bytes);
    const LoadResult folderless = LoadSettings(env);
    EXPECT_EQ(folderless.settings.Folder, std::filesystem::current_path().string());
    EXPECT_TRUE(folderless.statusText.has_value());
    EXPECT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(parseSettingsText(test::fileBytes(env.iniFile)), gone);
    // A reset that cannot write the file ends the program.
    SettingsEnvironment full = env;
    full.iniFile = temp.path() / "gone" / "karune.ini";
    EXPECT_TRUE(LoadSettings(full).endProgram);
}

// A reset must choose a save folder that exists and that the settings file can hold; one it
// cannot write would end every start.
TEST(DefaultFolder, IsTheFirstStorableOfDocumentsHomeAndProgramFolder) {
    const struct {
        const char* documents;  // under the temporary folder; "" for none known
        const char* home;
        const char* expected;
    } cases[] = {
        {"josé/Documents", "home", "home"}, {"", "home", "home"},     {"gone", "josé", "prog"},
        {"4月〜", "home", "home"},          {"home", "prog", "home"},
    };
    for (const auto& c : cases) {
        test::TempFolder temp;
        const auto under = [&](const char* name) {
            return utf8FromPath(temp.path() / pathFromUtf8(name));
        };
        for (const char* folder : {"josé/Documents", "home", "prog", "4月〜"})
            std::filesystem::create_directories(temp.path() / pathFromUtf8(folder));
        test::FakeMessages messages;
        const SettingsEnvironment env{temp.path() / "karune.ini",
                                      temp.path() / "prog",
                                      *c.documents != 0 ? under(c.documents) : "",
                                      true,
                                      messages,
                                      under(c.home)};
        const ResetResult result = InitSettings(env, "ﾌｧｲﾙなし");
        EXPECT_EQ(result.settings.Folder, under(c.expected)) << c.documents;
        EXPECT_FALSE(result.endProgram) << c.documents;
    }
}

}  // namespace
}  // namespace karune
