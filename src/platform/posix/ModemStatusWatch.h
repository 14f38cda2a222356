#pragma once

#include <atomic>
#include <future>
#include <memory>
#include <thread>

namespace karune {

// The modem's ready line (DSR) of an open tty, watched by a thread that waits in the kernel for
// its changes (TIOCMIWAIT), so that nothing runs while the line stays as it is. Each change makes
// wakeFd() readable until takeChange() sees it. A driver that cannot wait for changes (or a device
// that went away) leaves ready() at the last value it reported.
class ModemStatusWatch {
public:
    // Null when the tty reports no modem lines (a pseudo-terminal) or no thread can be started.
    static std::unique_ptr<ModemStatusWatch> start(int tty);

    // Ends the watching; the tty must still be open.
    ~ModemStatusWatch();
    ModemStatusWatch(const ModemStatusWatch&) = delete;
    ModemStatusWatch& operator=(const ModemStatusWatch&) = delete;

    bool ready() const { return ready_; }
    // Readable while a change has not been taken; for poll() beside the tty.
    int wakeFd() const { return wake_; }
    // True once for all the changes since the last call.
    bool takeChange();

private:
    ModemStatusWatch(int tty, int wake, bool ready);
    void watch();

    int tty_;
    int wake_;
    std::atomic<bool> ready_;
    std::atomic<bool> ending_{false};
    std::promise<void> ended_;
    std::thread thread_;
};

}  // namespace karune
