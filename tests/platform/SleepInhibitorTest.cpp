// logind's sleep lock as the program takes it: over a real dbus-daemon on a private socket, with a
// stand-in for logind's Inhibit call that hands out a pipe's write end and watches it close.
#include "platform/SystemSleepInhibitor.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <future>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace karune {
namespace {

// The system bus the program finds, for the length of a test: a dbus-daemon of the test's own
// (the session bus's open policy) on a socket in its own folder, or an address where none listens.
class SystemBus {
public:
    explicit SystemBus(bool running = true) {
        if (running) {
            const std::string command =
                "exec dbus-daemon --session --nofork --print-pid --address=" + address_ +
                " 2>/dev/null";
            daemon_ = popen(command.c_str(), "r");
            // The daemon prints its pid once it listens.
            if (daemon_ == nullptr || std::fscanf(daemon_, "%d", &pid_) != 1)
                pid_ = -1;
        }
        setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str(), 1);
    }
    ~SystemBus() {
        unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
        // Not SIGTERM: the daemon inherits the signal mask of the test that started it, and the
        // stop-signal tests of this binary block SIGTERM.
        if (pid_ > 0)
            kill(pid_, SIGKILL);
        if (daemon_ != nullptr)
            pclose(daemon_);
    }
    bool running() const { return pid_ > 0; }

private:
    test::TempFolder folder_;
    std::string address_ = "unix:path=" + (folder_.path() / "bus").string();
    FILE* daemon_ = nullptr;
    pid_t pid_ = -1;
};

// logind's Manager.Inhibit on the system bus, answered while a request of the program's runs: each
// call gets the write end of a new pipe, whose read end tells when the caller's last copy has
// closed. A `refusing` one answers as logind does a caller that polkit does not allow.
class LogindStandIn {
public:
    explicit LogindStandIn(bool refusing) : refusing_(refusing) {
        ready_ = sd_bus_open_system(&bus_) >= 0 &&
                 sd_bus_add_object_vtable(bus_, nullptr, "/org/freedesktop/login1",
                                          "org.freedesktop.login1.Manager", kVtable, this) >= 0 &&
                 sd_bus_request_name(bus_, "org.freedesktop.login1", 0) >= 0;
    }
    ~LogindStandIn() {
        for (const int lock : locks)
            close(lock);
        sd_bus_flush_close_unref(bus_);
    }
    bool ready() const { return ready_; }
    // Runs `request` on a thread of its own and answers the bus until it has returned.
    void answer(const std::function<void()>& request) {
        const std::future<void> done = std::async(std::launch::async, request);
        while (done.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            while (sd_bus_process(bus_, nullptr) > 0) {
            }
            sd_bus_wait(bus_, 10'000);
        }
    }
    // Whether the caller still holds the lock of call `i`; the bus may take a moment to let go of
    // its copy of a released one.
    bool held(std::size_t i, int waitMs = 0) const {
        pollfd fd{locks.at(i), POLLIN, 0};
        return poll(&fd, 1, waitMs) == 0;
    }

    std::vector<std::string> calls;  // what|who|why|mode
    std::vector<int> locks;          // their read ends

private:
    static int inhibit(sd_bus_message* message, void* self, sd_bus_error* error) {
        auto& standIn = *static_cast<LogindStandIn*>(self);
        const char *what, *who, *why, *mode;
        int lock[2];
        if (standIn.refusing_)
            return sd_bus_error_set(error, SD_BUS_ERROR_ACCESS_DENIED, "Access denied");
        if (sd_bus_message_read(message, "ssss", &what, &who, &why, &mode) < 0 ||
            pipe2(lock, O_CLOEXEC) != 0)
            return -EINVAL;
        standIn.calls.push_back(std::string(what) + "|" + who + "|" + why + "|" + mode);
        standIn.locks.push_back(lock[0]);
        const int sent = sd_bus_reply_method_return(message, "h", lock[1]);
        close(lock[1]);  // the reply has its own copy
        return sent;
    }
    static constexpr sd_bus_vtable kVtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("Inhibit", "ssss", "h", inhibit, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_VTABLE_END};

    bool refusing_;
    bool ready_ = false;
    sd_bus* bus_ = nullptr;
};

// The descriptors this process has open: a bus connection left open, or a lock never closed,
// shows here.
long openDescriptors() {
    const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return std::distance(begin(entries), end(entries));
}

TEST(SleepInhibitor, HoldsLogindsSleepLockUntilReleased) {
    const SystemBus bus;
    ASSERT_TRUE(bus.running());
    LogindStandIn logind(false);
    ASSERT_TRUE(logind.ready());
    {
        SystemSleepInhibitor inhibitor("answering calls");
        const long before = openDescriptors();
        logind.answer([&] { inhibitor.hold(); });
        inhibitor.hold();  // held already: no second lock
        ASSERT_EQ(logind.calls.size(), 1u);
        EXPECT_EQ(openDescriptors(), before + 2);  // the stand-in's end and the program's
        EXPECT_EQ(logind.calls[0], "sleep|karune-modem|answering calls|block");
        EXPECT_TRUE(logind.held(0));
        inhibitor.release();
        EXPECT_FALSE(logind.held(0, 5000));
        EXPECT_EQ(openDescriptors(), before + 1);
        logind.answer([&] { inhibitor.hold(); });  // the next reception's
        ASSERT_EQ(logind.calls.size(), 2u);
        EXPECT_TRUE(logind.held(1));
    }
    EXPECT_FALSE(logind.held(1, 5000));  // gone with the program
}

// Without a system bus, or without logind, reception runs as before and nothing stays open; a
// logind that refuses is told.
TEST(SleepInhibitor, WithoutALockNothingStaysOpenAndARefusalIsTold) {
    const struct {
        bool bus, refusingLogind;
        std::string told;
    } cases[] = {{false, false, ""},
                 {true, false, ""},
                 {true, true, "logind did not grant a sleep lock: Access denied"}};
    for (const auto& c : cases) {
        const SystemBus bus(c.bus);
        std::optional<LogindStandIn> logind;
        if (c.refusingLogind)
            logind.emplace(true);
        std::string told;
        SystemSleepInhibitor inhibitor("answering calls",
                                       [&told](const std::string& why) { told = why; });
        const long before = openDescriptors();
        if (logind)
            logind->answer([&] { inhibitor.hold(); });
        else
            inhibitor.hold();
        EXPECT_EQ(openDescriptors(), before) << c.bus;
        EXPECT_EQ(told, c.told) << c.bus;
    }
}

}  // namespace
}  // namespace karune
