#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "config/ProgramPaths.h"
#include "config/Utf8Path.h"
#include "platform/PortNames.h"
#include "session/OutputName.h"

namespace karune {
namespace {

// The paths shown and used on Windows: "\" between names, a drive root keeps its "\".
TEST(WindowsPaths, SeparatorsAndRoots) {
    const LocalDateTime when{2007, 6, 6, 9, 5, 7};
    const std::string fileName = outputFileName(0, "", "abc", when, false);
    EXPECT_EQ(fileName, "\\abc.txt");
    EXPECT_EQ(outputPathFor("C:\\", fileName), "C:\\abc.txt");
    EXPECT_EQ(outputPathFor("D:\\受信", fileName), "D:\\受信\\abc.txt");
    EXPECT_EQ(outputPathFor("D:\\受信\\", fileName), "D:\\受信\\abc.txt");

    struct Case {
        std::string executable;
        std::optional<std::string> home;
        std::string folder;
    };
    const Case cases[] = {
        {"C:\\Program Files\\KARUNE\\karune-modem.exe", std::nullopt, "C:\\Program Files\\KARUNE"},
        {"C:\\karune-modem.exe", std::nullopt, "C:\\"},
        {"C:\\k\\karune-modem.exe", "D:\\ﾃﾞｰﾀ\\", "D:\\ﾃﾞｰﾀ"},
    };
    for (const Case& c : cases) {
        const ProgramPaths paths =
            programPaths(pathFromUtf8(c.executable),
                         c.home ? std::optional(pathFromUtf8(*c.home)) : std::nullopt);
        EXPECT_EQ(utf8FromPath(paths.programFolder), c.folder);
        EXPECT_EQ(utf8FromPath(paths.iniFile),
                  utf8FromPath(paths.programFolder / "karune-modem.ini"));
    }
    EXPECT_EQ(portDevicePath(1, nullptr), "\\\\.\\COM1");
}

}  // namespace
}  // namespace karune
