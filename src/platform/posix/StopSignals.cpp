#include "platform/StopSignals.h"

#include <pthread.h>
#include <signal.h>

namespace karune {
namespace {

// SIGUSR1 only ends the watcher; it is sent by the destructor to the watching thread alone.
sigset_t watchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGUSR1);
    return set;
}

}  // namespace

StopSignals::StopSignals(std::function<void()> onStop) : onStop_(std::move(onStop)) {
    const sigset_t set = watchedSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    watcher_ = std::thread([this, set] {
        for (;;) {
            int signal = 0;
            if (sigwait(&set, &signal) != 0 || signal == SIGUSR1)
                return;
            received_ = true;
            onStop_();
        }
    });
}

StopSignals::~StopSignals() {
    pthread_kill(watcher_.native_handle(), SIGUSR1);
    watcher_.join();
}

}  // namespace karune
