#include <gtest/gtest.h>

#include <cerrno>

#include "platform/PortErrors.h"
#include "platform/PortNames.h"

namespace karune {
namespace {

struct PathCase {
    int port;
    const char* override;
    std::optional<std::string> expected;
};

TEST(PortNames, DevicePathFollowsTheOverrideOrTheTtySNumbering) {
    const PathCase cases[] = {
        {1, nullptr, "/dev/ttyS0"},          {3, nullptr, "/dev/ttyS2"},
        {8, nullptr, "/dev/ttyS7"},          {3, "", "/dev/ttyS2"},
        {3, "/dev/ttyUSB0", "/dev/ttyUSB0"}, {8, "/tmp/modem link", "/tmp/modem link"},
        {0, nullptr, std::nullopt},          {9, nullptr, std::nullopt},
        {9, "/dev/ttyUSB0", std::nullopt},   {-1, nullptr, std::nullopt},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(portDevicePath(c.port, c.override), c.expected)
            << "port " << c.port << " override " << (c.override ? c.override : "(unset)");
    }
}

struct ErrorCase {
    int error;
    std::string meaning;  // a piece of text that only the right entry carries
};

TEST(PortErrors, EachFailureHasItsOwnTextNamingTheDevice) {
    const std::string path = "/dev/ttyS4";
    const ErrorCase cases[] = {
        {ENOENT, "がありません"},
        {ENODEV, "機器がない"},
        {ENXIO, "機器がない"},
        {EIO, "機器がない"},
        {EACCES, "dialout"},
        {EPERM, "dialout"},
        {EBUSY, "使用中"},
        {EWOULDBLOCK, "使用中"},
        {ENOTTY, "シリアルポートではありません"},
        {EISDIR, "シリアルポートではありません"},
        {EXDEV, "エラー 18"},
    };
    for (const ErrorCase& c : cases) {
        const std::string text = portOpenErrorText(c.error, path);
        EXPECT_NE(text.find(path), std::string::npos) << text;
        EXPECT_NE(text.find(c.meaning), std::string::npos) << "errno " << c.error << ": " << text;
    }
}

TEST(PortErrors, BadPortNumberIsNamed) {
    EXPECT_NE(portNumberErrorText(9).find('9'), std::string::npos);
    EXPECT_NE(portNumberErrorText(0), portNumberErrorText(9));
}

}  // namespace
}  // namespace karune
