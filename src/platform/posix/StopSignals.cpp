#include "platform/StopSignals.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

namespace karune {
namespace {

// SIGUSR1 is the destructor's wake-up for the watching thread. Anyone may send SIGUSR1 to the
// process, so it ends the watching only once `ending` is set: a watcher that ended early would
// leave SIGTERM and SIGINT blocked for good, and a service manager's stop would go unheard.
sigset_t watchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGUSR1);
    return set;
}

}  // namespace

struct StopSignals::Watch {
    std::function<void()> onStop;
    std::atomic<bool> received{false};
    std::atomic<bool> ending{false};
    std::thread watcher;
};

StopSignals::StopSignals(std::function<void()> onStop, std::function<bool()>)
    : watch_(std::make_unique<Watch>()) {
    watch_->onStop = std::move(onStop);
    const sigset_t set = watchedSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    watch_->watcher = std::thread([watch = watch_.get(), set] {
        for (;;) {
            int signal = 0;
            if (sigwait(&set, &signal) != 0)
                return;
            if (signal == SIGUSR1) {
                if (watch->ending)
                    return;
                continue;
            }
            watch->received = true;
            watch->onStop();
        }
    });
}

StopSignals::~StopSignals() {
    watch_->ending = true;
    pthread_kill(watch_->watcher.native_handle(), SIGUSR1);
    watch_->watcher.join();
}

bool StopSignals::received() const {
    return watch_->received;
}

}  // namespace karune
