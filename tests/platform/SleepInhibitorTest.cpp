// logind's sleep lock as the program takes it: over a real dbus-daemon on a private socket, with a
// stand-in for logind's Inhibit call that hands out a pipe's write end and watches it close.
#include "platform/SystemSleepInhibitor.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/TempFolder.h"

namespace karune {
namespace {

// A message bus of the test's own, listening on a socket in a temporary folder.
class DbusDaemon {
public:
    explicit DbusDaemon(const std::filesystem::path& folder) {
        const std::filesystem::path config = folder / "bus.conf";
        std::ofstream(config) << "<busconfig><listen>unix:path=" << (folder / "bus").string()
                              << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                                 "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                 "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>"
                                 "</busconfig>\n";
        int address[2];
        if (pipe(address) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(address[1], 3);
            const std::string option = "--config-file=" + config.string();
            execlp("dbus-daemon", "dbus-daemon", "--nofork", "--print-address=3", option.c_str(),
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(address[1]);
        // The daemon prints its address once it listens.
        char buffer[512];
        const ssize_t length = read(address[0], buffer, sizeof buffer);
        close(address[0]);
        if (length > 0)
            address_.assign(buffer, static_cast<std::size_t>(length) - 1);
    }
    ~DbusDaemon() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& address() const { return address_; }

private:
    pid_t pid_ = -1;
    std::string address_;
};

// logind's Manager.Inhibit on the bus: each call gets the write end of a new pipe, whose read end
// tells when the caller's last copy has closed.
class LogindStandIn {
public:
    struct Call {
        std::string what, who, why, mode;
        int lock = -1;  // the read end
    };

    // A `refusing` one answers as logind does a caller that polkit does not allow.
    explicit LogindStandIn(const std::string& address, bool refusing = false)
        : refusing_(refusing) {
        sd_bus_new(&bus_);
        sd_bus_set_address(bus_, address.c_str());
        sd_bus_set_bus_client(bus_, 1);
        if (sd_bus_start(bus_) < 0 ||
            sd_bus_add_object_vtable(bus_, nullptr, "/org/freedesktop/login1",
                                     "org.freedesktop.login1.Manager", kVtable, this) < 0 ||
            sd_bus_request_name(bus_, "org.freedesktop.login1", 0) < 0)
            return;
        thread_ = std::thread([this] { serve(); });
    }
    ~LogindStandIn() {
        const std::uint64_t one = 1;
        if (write(stop_, &one, sizeof one) == sizeof one && thread_.joinable())
            thread_.join();
        close(stop_);
        for (const Call& call : calls_)
            close(call.lock);
        sd_bus_flush_close_unref(bus_);
    }
    bool ready() const { return thread_.joinable(); }
    // The calls so far, once their replies have gone with the stand-in's copies of the locks.
    std::vector<Call> calls() {
        std::unique_lock lock(mutex_);
        replied_.wait(lock, [this] { return repliesSent_ == calls_.size(); });
        return calls_;
    }
    // Whether the caller still holds the lock of call `i`; a released one may take the bus a
    // moment to let go of its copy.
    bool held(std::size_t i, int waitMs = 0) {
        pollfd fd{calls().at(i).lock, POLLIN, 0};
        return poll(&fd, 1, waitMs) == 0;
    }

private:
    static int inhibit(sd_bus_message* message, void* self, sd_bus_error* error) {
        const char *what, *who, *why, *mode;
        if (sd_bus_message_read(message, "ssss", &what, &who, &why, &mode) < 0)
            return -EINVAL;
        if (static_cast<LogindStandIn*>(self)->refusing_)
            return sd_bus_error_set(error, SD_BUS_ERROR_ACCESS_DENIED, "Access denied");
        int lock[2];
        if (pipe2(lock, O_CLOEXEC) != 0)
            return -errno;
        auto& standIn = *static_cast<LogindStandIn*>(self);
        {
            const std::lock_guard guard(standIn.mutex_);
            standIn.calls_.push_back({what, who, why, mode, lock[0]});
        }
        // The reply carries its own copy of the write end until it is written.
        const int sent = sd_bus_reply_method_return(message, "h", lock[1]);
        sd_bus_flush(sd_bus_message_get_bus(message));
        close(lock[1]);
        {
            const std::lock_guard guard(standIn.mutex_);
            ++standIn.repliesSent_;
        }
        standIn.replied_.notify_all();
        return sent;
    }
    static constexpr sd_bus_vtable kVtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("Inhibit", "ssss", "h", inhibit, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_VTABLE_END};

    void serve() {
        for (;;) {
            while (sd_bus_process(bus_, nullptr) > 0) {
            }
            pollfd fds[2] = {{sd_bus_get_fd(bus_), static_cast<short>(sd_bus_get_events(bus_)), 0},
                             {stop_, POLLIN, 0}};
            if (poll(fds, 2, -1) < 0 || fds[1].revents != 0)
                return;
        }
    }

    bool refusing_;
    sd_bus* bus_ = nullptr;
    int stop_ = eventfd(0, EFD_CLOEXEC);
    std::mutex mutex_;
    std::condition_variable replied_;
    std::vector<Call> calls_;
    std::size_t repliesSent_ = 0;
    std::thread thread_;
};

// The system bus the program finds, for the length of a test.
class SystemBusAddress {
public:
    explicit SystemBusAddress(const std::string& address) {
        setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
    }
    ~SystemBusAddress() { unsetenv("DBUS_SYSTEM_BUS_ADDRESS"); }
};

// The descriptors this process has open: a bus connection left open, or a lock never closed,
// shows here.
long openDescriptors() {
    const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return std::distance(begin(entries), end(entries));
}

TEST(SleepInhibitor, HoldsLogindsSleepLockUntilReleased) {
    test::TempFolder folder;
    DbusDaemon daemon(folder.path());
    ASSERT_FALSE(daemon.address().empty());
    const SystemBusAddress bus(daemon.address());
    LogindStandIn logind(daemon.address());
    ASSERT_TRUE(logind.ready());
    {
        SystemSleepInhibitor inhibitor("answering calls");
        const long before = openDescriptors();
        inhibitor.hold();
        inhibitor.hold();  // held already: no second lock
        ASSERT_EQ(logind.calls().size(), 1u);
        EXPECT_EQ(openDescriptors(), before + 2);  // the stand-in's end and the program's
        const LogindStandIn::Call call = logind.calls()[0];
        EXPECT_EQ(call.what + "|" + call.who + "|" + call.why + "|" + call.mode,
                  "sleep|karune-modem|answering calls|block");
        EXPECT_TRUE(logind.held(0));
        inhibitor.release();
        EXPECT_FALSE(logind.held(0, 5000));
        EXPECT_EQ(openDescriptors(), before + 1);
        inhibitor.hold();  // the next reception's
        ASSERT_EQ(logind.calls().size(), 2u);
        EXPECT_TRUE(logind.held(1));
    }
    EXPECT_FALSE(logind.held(1, 5000));  // gone with the program
}

// Without logind, or without a system bus, reception runs as before and nothing stays open; a
// logind that refuses is told.
TEST(SleepInhibitor, WithoutALockNothingStaysOpenAndARefusalIsTold) {
    test::TempFolder folder;
    DbusDaemon daemon(folder.path());
    ASSERT_FALSE(daemon.address().empty());
    const std::string none = "unix:path=" + (folder.path() / "none").string();
    const struct {
        std::string address;
        bool refusingLogind;
        std::string told;
    } cases[] = {{daemon.address(), false, ""},
                 {none, false, ""},
                 {daemon.address(), true, "logind did not grant a sleep lock: Access denied"}};
    for (const auto& c : cases) {
        const SystemBusAddress bus(c.address);
        std::optional<LogindStandIn> logind;
        if (c.refusingLogind)
            logind.emplace(c.address, true);
        std::string told;
        SystemSleepInhibitor inhibitor("answering calls",
                                       [&told](const std::string& why) { told = why; });
        const long before = openDescriptors();
        inhibitor.hold();
        EXPECT_EQ(openDescriptors(), before) << c.address;
        EXPECT_EQ(told, c.told) << c.address;
    }
}

}  // namespace
}  // namespace karune
