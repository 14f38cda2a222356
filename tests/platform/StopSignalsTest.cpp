#include "platform/StopSignals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <future>

namespace karune {
namespace {

// Another program's SIGUSR1 must not end the watching, or a later SIGTERM would stay blocked.
TEST(StopSignals, SigtermIsHeardAfterASigusr1FromOutside) {
    std::promise<void> stopped;
    const StopSignals signals([&stopped] { stopped.set_value(); });
    kill(getpid(), SIGUSR1);
    kill(getpid(), SIGTERM);
    EXPECT_EQ(stopped.get_future().wait_for(std::chrono::minutes(1)), std::future_status::ready);
    EXPECT_TRUE(signals.received());
}

}  // namespace
}  // namespace karune
