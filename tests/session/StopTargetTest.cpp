// A stop signal must never reach a reception that is being destroyed.
#include "session/StopTarget.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "linesim/SimulatedLine.h"
#include "linesim/VirtualClock.h"
#include "support/FakeDisplay.h"
#include "support/FakeMessages.h"
#include "support/FakePorts.h"

namespace karune::test {
namespace {

TEST(StopTarget, TheAttachmentWaitsForARequestInProgressAndEndsAllLaterOnes) {
    sim::VirtualClock clock;
    sim::SimulatedLine wire{clock};
    FakePorts ports{wire};
    FakeDisplay display;
    FakeMessages messages;
    StopTarget target;
    std::atomic<bool> inRequest = false;
    std::atomic<bool> requestDone = false;
    std::thread watcher;
    {
        Reception reception({ports, clock, display, messages}, "Back.txt");  // never started
        const StopTarget::Attachment attached(target, reception);
        watcher = std::thread([&] {
            target.request([&](Reception* r) {
                inRequest = true;
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                r->stop();
                requestDone = true;
            });
        });
        while (!inRequest)
            std::this_thread::yield();
    }
    EXPECT_TRUE(requestDone);
    int later = 0;
    target.request([&](Reception*) { ++later; });
    EXPECT_EQ(later, 0);
    watcher.join();
}

}  // namespace
}  // namespace karune::test
