// A reset must choose a save folder that exists and that the settings file can hold; one it
// cannot write would end every start.
#include <gtest/gtest.h>

#include "config/SettingsStore.h"
#include "config/Utf8Path.h"
#include "support/FakeMessages.h"
#include "support/TempFolder.h"

namespace karune {
namespace {

TEST(DefaultFolder, IsTheFirstStorableOfDocumentsHomeAndProgramFolder) {
    const struct {
        const char* documents;  // under the temporary folder; "" for none known
        const char* home;
        const char* expected;
    } cases[] = {
        {"josé/Documents", "home", "home"},
        {"", "home", "home"},
        {"gone", "josé", "prog"},
    };
    for (const auto& c : cases) {
        test::TempFolder temp;
        const auto under = [&](const char* name) {
            return utf8FromPath(temp.path() / pathFromUtf8(name));
        };
        for (const char* folder : {"josé/Documents", "home", "prog"})
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
