#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "config/ProgramPaths.h"
#include "config/Utf8Path.h"
#include "platform/PortNames.h"
#include "platform/windows/ModemLineState.h"
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

    const struct {
        std::string executable;
        std::optional<std::string> home;
        std::string folder;
    } cases[] = {
        {"C:\\Program Files\\KARUNE\\karune-modem.exe", std::nullopt, "C:\\Program Files\\KARUNE"},
        {"C:\\karune-modem.exe", std::nullopt, "C:\\"},
        {"C:\\k\\karune-modem.exe", "D:\\ﾃﾞｰﾀ\\", "D:\\ﾃﾞｰﾀ"},
    };
    for (const auto& c : cases) {
        const ProgramPaths paths =
            programPaths(pathFromUtf8(c.executable),
                         c.home ? std::optional(pathFromUtf8(*c.home)) : std::nullopt);
        EXPECT_EQ(utf8FromPath(paths.programFolder), c.folder);
        EXPECT_EQ(utf8FromPath(paths.iniFile),
                  utf8FromPath(paths.programFolder / "karune-modem.ini"));
    }
}

// KARUNE_COM<n>: a USB adapter's COM12 is reachable only through the device namespace.
TEST(WindowsPaths, PortDevices) {
    const struct {
        const char* override;
        const char* device;
    } cases[] = {
        {nullptr, "\\\\.\\COM1"},         {"", "\\\\.\\COM1"},
        {"COM12", "\\\\.\\COM12"},        {"COM3", "\\\\.\\COM3"},
        {"\\\\.\\COM12", "\\\\.\\COM12"}, {"\\\\.\\CNCA0", "\\\\.\\CNCA0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(portDevicePath(1, c.override), c.device) << (c.override ? c.override : "(none)");
}

// A driver that reports zero for both XON and XOFF characters, as several USB and virtual COM
// drivers do, must still get a state SetCommState accepts.
TEST(WindowsPaths, ModemLineStateFromAZeroedDriverState) {
    const DCB state = modemLineState(DCB{});
    EXPECT_EQ(state.DCBlength, sizeof(DCB));
    EXPECT_EQ(state.XonChar, 0x11);
    EXPECT_EQ(state.XoffChar, 0x13);
    EXPECT_GT(state.XonLim, 0);
    EXPECT_GT(state.XoffLim, 0);
    EXPECT_LE(state.XonLim + state.XoffLim, kPortQueueBytes);
    EXPECT_EQ(state.BaudRate, static_cast<DWORD>(CBR_38400));
    EXPECT_FALSE(state.fOutX || state.fInX || state.fOutxCtsFlow || state.fOutxDsrFlow);
    EXPECT_GT(modemLineTimeouts().WriteTotalTimeoutConstant, 0u);
}

}  // namespace
}  // namespace karune
