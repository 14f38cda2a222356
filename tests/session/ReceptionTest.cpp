#include "session/Reception.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "linesim/SimulatedLine.h"
#include "linesim/VirtualClock.h"
#include "support/FakeDisplay.h"
#include "support/FakeMessages.h"
#include "support/FakePorts.h"
#include "support/GatedLine.h"
#include "support/ScriptedModem.h"
#include "support/TempFolder.h"
#include "support/UploadingTerminal.h"

namespace karune {
namespace {

using namespace std::string_literals;

const std::string kHangUp = "CAN\r+++\0\rATH0\r"s;

// A modem that answers "ATE0" and never rings, behind a gate that holds the session in its reads
// until the test lets it go. The reception runs on its own worker thread. Receiving the "OK" takes
// two reads: the chunk, and the quiet gap that ends the reply.
struct Rig {
    sim::VirtualClock clock;
    sim::SimulatedLine wire{clock};
    test::ScriptedModem modem{wire};
    test::GatedLine gate{wire};
    test::FakePorts ports{gate};
    test::FakeDisplay display;
    test::FakeMessages messages;
    test::TempFolder folder;

    std::mutex mutex;
    std::condition_variable finishedChanged;
    int finished = 0;
    std::vector<bool> activeWhenFinished;

    std::unique_ptr<Reception> reception;
    // The callback's view of the runner: unique_ptr::reset() empties `reception` before the
    // runner's destructor runs the last callback.
    Reception* self = nullptr;

    Rig() {
        modem.ringAfterInit(std::nullopt);
        reception = std::make_unique<Reception>(SessionServices{ports, clock, display, messages},
                                                folder.path() / "Back.txt", [this] {
                                                    const bool active = self->active();
                                                    std::lock_guard lock(mutex);
                                                    ++finished;
                                                    activeWhenFinished.push_back(active);
                                                    finishedChanged.notify_all();
                                                });
        self = reception.get();
    }
    ~Rig() {
        gate.open();
        reception.reset();
    }

    Settings settings(int port, int autoStart = 0) const {
        Settings s;
        s.Folder = folder.text();
        s.Port = static_cast<std::int16_t>(port);
        s.AutoStart = static_cast<std::int16_t>(autoStart);
        return s;
    }

    // Starts a session on `port` and waits until it is held in the read of the reply to "ATE0".
    void startHeld(int port) {
        reception->start(settings(port));
        gate.waitForArrivals(1);
    }
    // Stops, lets the held session's two reads through and waits until it has returned.
    void stopAndFinish() {
        reception->stop();
        gate.allow(2);
        reception->waitUntilIdle();
        waitForFinished(1);
    }

    void waitForFinished(int count) {
        std::unique_lock lock(mutex);
        finishedChanged.wait(lock, [&] { return finished >= count; });
    }
    int finishedCount() {
        std::lock_guard lock(mutex);
        return finished;
    }
};

TEST(Reception, RunsASessionUntilStopped) {
    Rig r;
    EXPECT_FALSE(r.reception->active());
    r.reception->start(r.settings(3));
    r.gate.waitForArrivals(1);  // held in the read of the reply to "ATE0"
    EXPECT_TRUE(r.reception->active());
    EXPECT_TRUE(r.reception->flags().running);
    EXPECT_EQ(r.ports.requestedPorts(), std::vector<int>{3});

    r.reception->stop();
    EXPECT_TRUE(r.reception->flags().stopPressed);
    r.gate.allow(2);
    r.reception->waitUntilIdle();
    r.waitForFinished(1);

    EXPECT_FALSE(r.reception->active());
    EXPECT_FALSE(r.reception->flags().running);
    EXPECT_EQ(r.wire.written(), "ATE0\r" + kHangUp);
    EXPECT_EQ(r.ports.closes(), 1);
    EXPECT_EQ(r.display.last("buttons"), "0");
    EXPECT_EQ(r.activeWhenFinished, std::vector<bool>{false});
}

TEST(Reception, IgnoresAStartWhileASessionServes) {
    Rig r;
    r.startHeld(3);
    r.reception->start(r.settings(5));
    r.stopAndFinish();

    EXPECT_EQ(r.ports.requestedPorts(), std::vector<int>{3});
    EXPECT_EQ(r.ports.mostOpenAtOnce(), 1);
    EXPECT_EQ(r.gate.arrivals(), 2);
}

TEST(Reception, DefersAStartUntilTheStoppedSessionHasReturned) {
    Rig r;
    r.startHeld(3);
    r.reception->stop();
    r.reception->start(r.settings(5));  // the stopped session is still in its read

    EXPECT_TRUE(r.reception->active());
    EXPECT_EQ(r.ports.requestedPorts(), std::vector<int>{3});
    // The winding-down session keeps its stop: its report carries the stop texts with a stamp.
    EXPECT_FALSE(r.reception->flags().running);
    EXPECT_TRUE(r.reception->flags().stopPressed);

    r.gate.allow(2);
    r.gate.waitForArrivals(3);  // the second session waits for its own reply to "ATE0"
    EXPECT_EQ(r.ports.requestedPorts(), (std::vector<int>{3, 5}));
    EXPECT_EQ(r.ports.mostOpenAtOnce(), 1);
    EXPECT_TRUE(r.reception->flags().running);
    EXPECT_FALSE(r.reception->flags().stopPressed);
    EXPECT_EQ(r.finishedCount(), 0);  // the first one returned with a start pending
    // The first session switched the buttons to idle on its way out; the second shows running.
    EXPECT_EQ(r.display.texts("buttons"), (std::vector<std::string>{"1", "0", "1"}));
    EXPECT_EQ(r.display.texts("error").at(2).substr(19), ">［ｽﾄｯﾌﾟﾎﾞﾀﾝが押されました］");

    r.stopAndFinish();
    EXPECT_EQ(r.wire.written(), "ATE0\r" + kHangUp + "ATE0\r" + kHangUp);
    EXPECT_EQ(r.finishedCount(), 1);
}

TEST(Reception, AStopCancelsADeferredStart) {
    Rig r;
    r.startHeld(3);
    r.reception->stop();
    r.reception->start(r.settings(5));
    r.stopAndFinish();
    EXPECT_EQ(r.ports.requestedPorts(), std::vector<int>{3});
}

TEST(Reception, StartsAgainAfterASessionEndedByItself) {
    Rig r;
    r.modem.setStanding("ATE0", test::ScriptedModem::silence());
    r.gate.open();
    r.reception->start(r.settings(3, 1));
    r.waitForFinished(1);  // a silent modem ends reception even with automatic start
    EXPECT_FALSE(r.reception->flags().running);

    r.reception->start(r.settings(4, 1));
    r.waitForFinished(2);
    EXPECT_EQ(r.ports.requestedPorts(), (std::vector<int>{3, 4}));
    EXPECT_EQ(r.wire.written(), "ATE0\r" + kHangUp + "ATE0\r" + kHangUp);
}

TEST(Reception, TellsWhetherTheLastSessionCompletedATransfer) {
    Rig r;
    r.gate.open();
    r.modem.ringAfterInit(std::chrono::seconds(1));
    r.modem.terminal = test::UploadingTerminal("abc", {"1,a"});
    Settings settings = r.settings(3);
    settings.Field.fill(1);
    r.reception->start(settings);
    r.waitForFinished(1);
    EXPECT_TRUE(r.reception->lastTransferCompleted());

    r.modem.ringAfterInit(std::nullopt);
    r.display.onStatus = [&r](const std::string& s) {
        if (s.starts_with("ﾓﾃﾞﾑ着信"))
            r.reception->stop();
    };
    r.reception->start(settings);
    r.waitForFinished(2);
    EXPECT_FALSE(r.reception->lastTransferCompleted());
}

TEST(Reception, DestructionStopsTheSessionAndWaitsForIt) {
    Rig r;
    r.startHeld(3);
    r.gate.open();  // from here the session runs freely in the call wait
    r.reception.reset();

    EXPECT_EQ(r.finishedCount(), 1);
    EXPECT_FALSE(r.ports.isOpen());
    const std::string& written = r.wire.written();
    ASSERT_GE(written.size(), kHangUp.size());
    EXPECT_EQ(written.substr(0, 5), "ATE0\r");
    EXPECT_EQ(written.substr(written.size() - kHangUp.size()), kHangUp);
}

}  // namespace
}  // namespace karune
