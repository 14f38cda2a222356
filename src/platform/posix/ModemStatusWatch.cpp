#include "platform/posix/ModemStatusWatch.h"

#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <system_error>

namespace karune {
namespace {

// Interrupts the watching thread's wait in the kernel: the handler does nothing and is installed
// without SA_RESTART, so the wait ends with EINTR.
constexpr int kWakeSignal = SIGUSR2;

extern "C" void onWakeSignal(int) {}

void installWakeHandler() {
    struct sigaction action {};
    action.sa_handler = onWakeSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(kWakeSignal, &action, nullptr);
}

}  // namespace

std::unique_ptr<ModemStatusWatch> ModemStatusWatch::start(int tty) {
    int lines = 0;
    if (::ioctl(tty, TIOCMGET, &lines) != 0)
        return nullptr;
    const int wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake < 0)
        return nullptr;
    installWakeHandler();
    std::unique_ptr<ModemStatusWatch> watch(
        new ModemStatusWatch(tty, wake, (lines & TIOCM_DSR) != 0));
    try {
        watch->thread_ = std::thread([w = watch.get()] { w->watch(); });
    } catch (const std::system_error&) {
        return nullptr;
    }
    return watch;
}

ModemStatusWatch::ModemStatusWatch(int tty, int wake, bool ready)
    : tty_(tty), wake_(wake), ready_(ready) {}

ModemStatusWatch::~ModemStatusWatch() {
    if (thread_.joinable()) {
        ending_ = true;
        // A signal that comes just before the thread enters its wait is lost: send it again until
        // the thread has seen `ending_`.
        const std::future<void> ended = ended_.get_future();
        do {
            ::pthread_kill(thread_.native_handle(), kWakeSignal);
        } while (ended.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready);
        thread_.join();
    }
    ::close(wake_);
}

bool ModemStatusWatch::takeChange() {
    std::uint64_t changes = 0;
    return ::read(wake_, &changes, sizeof changes) == sizeof changes;
}

void ModemStatusWatch::watch() {
    sigset_t wakeSignal;
    sigemptyset(&wakeSignal);
    sigaddset(&wakeSignal, kWakeSignal);
    ::pthread_sigmask(SIG_UNBLOCK, &wakeSignal, nullptr);
    while (!ending_) {
        if (::ioctl(tty_, TIOCMIWAIT, TIOCM_DSR) != 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        int lines = 0;
        if (::ioctl(tty_, TIOCMGET, &lines) != 0)
            break;
        ready_ = (lines & TIOCM_DSR) != 0;
        const std::uint64_t change = 1;
        if (::write(wake_, &change, sizeof change) < 0)
            break;
    }
    ended_.set_value();
}

}  // namespace karune
