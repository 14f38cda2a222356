#include "platform/SystemSleepInhibitor.h"

#include <fcntl.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <utility>

namespace karune {
namespace {

// logind answers at once; a bus that does not must not hold up the start of reception for long.
constexpr std::uint64_t kCallTimeoutUs = 5'000'000;

// The inhibitor lock's descriptor, or -1 when there is no bus, no logind, or a refusal, which
// `refused` hears.
int inhibitSleep(const std::string& reason, const SystemSleepInhibitor::Refusal& refused) {
    sd_bus* bus = nullptr;
    if (sd_bus_open_system(&bus) < 0)
        return -1;
    sd_bus_set_method_call_timeout(bus, kCallTimeoutUs);
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int lock = -1;
    if (sd_bus_call_method(bus, "org.freedesktop.login1", "/org/freedesktop/login1",
                           "org.freedesktop.login1.Manager", "Inhibit", &error, &reply, "ssss",
                           "sleep", "karune-modem", reason.c_str(), "block") >= 0) {
        int fd = -1;
        // The reply owns its descriptor.
        if (sd_bus_message_read(reply, "h", &fd) >= 0)
            lock = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    } else if (!sd_bus_error_has_names(&error, SD_BUS_ERROR_SERVICE_UNKNOWN,
                                       SD_BUS_ERROR_NAME_HAS_NO_OWNER) &&
               refused) {
        refused(std::string("logind did not grant a sleep lock: ") +
                (error.message != nullptr ? error.message : "no answer"));
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    sd_bus_flush_close_unref(bus);
    return lock;
}

}  // namespace

SystemSleepInhibitor::SystemSleepInhibitor(std::string reason, Refusal refused)
    : reason_(std::move(reason)), refused_(std::move(refused)) {}

SystemSleepInhibitor::~SystemSleepInhibitor() {
    release();
}

void SystemSleepInhibitor::hold() {
    if (handle_ < 0)
        handle_ = inhibitSleep(reason_, refused_);
}

// logind drops the lock when the last copy of its descriptor closes.
void SystemSleepInhibitor::release() {
    if (handle_ >= 0)
        ::close(static_cast<int>(std::exchange(handle_, -1)));
}

}  // namespace karune
