#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "platform/StopSignals.h"
#include "platform/posix/DisplayPresence.h"

namespace karune {
namespace {

TEST(DisplayPresence, AsksForTheDisplayThePlatformNeeds) {
    const struct {
        const char* platform;
        const char* x11;
        const char* wayland;
        bool found;
    } cases[] = {
        {"", "", "", false},          {"", ":0", "", true},
        {"", "", "wayland-0", true},  {"xcb", "", "wayland-0", false},
        {"wayland", ":0", "", false}, {"offscreen", "", "", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toolkitFindsDisplay(c.platform, c.x11, c.wayland), c.found)
            << c.platform << "|" << c.x11 << "|" << c.wayland;
}

// A service manager's SIGTERM and Ctrl+C's SIGINT stop reception, and another program's SIGUSR1
// must not end the watching, or the next request would stay blocked.
TEST(StopSignals, SigtermAndSigintAreHeardAfterASigusr1FromOutside) {
    for (const int request : {SIGTERM, SIGINT}) {
        std::promise<void> stopped;
        const StopSignals signals([&stopped] { stopped.set_value(); });
        kill(getpid(), SIGUSR1);
        kill(getpid(), request);
        EXPECT_EQ(stopped.get_future().wait_for(std::chrono::minutes(1)), std::future_status::ready)
            << request;
        EXPECT_TRUE(signals.received());
    }
}

}  // namespace
}  // namespace karune
