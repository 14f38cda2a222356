#include "platform/posix/DisplayPresence.h"

#include <gtest/gtest.h>

namespace karune {
namespace {

TEST(DisplayPresence, AsksForTheDisplayThePlatformNeeds) {
    struct Case {
        const char* platform;
        const char* x11;
        const char* wayland;
        bool found;
    };
    const Case cases[] = {
        {"", "", "", false},          {"", ":0", "", true},
        {"", "", "wayland-0", true},  {"xcb", "", "wayland-0", false},
        {"wayland", ":0", "", false}, {"offscreen", "", "", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toolkitFindsDisplay(c.platform, c.x11, c.wayland), c.found)
            << c.platform << "|" << c.x11 << "|" << c.wayland;
}

}  // namespace
}  // namespace karune
