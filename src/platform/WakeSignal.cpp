#include "platform/WakeSignal.h"

#include <fcntl.h>
#include <unistd.h>

namespace karune {

WakeSignal::WakeSignal() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        readEnd_ = fds[0];
        writeEnd_ = fds[1];
    }
}

WakeSignal::~WakeSignal() {
    if (readEnd_ >= 0)
        ::close(readEnd_);
    if (writeEnd_ >= 0)
        ::close(writeEnd_);
}

void WakeSignal::raise() {
    if (raised_.exchange(true))
        return;
    if (writeEnd_ >= 0) {
        const char byte = 1;
        // The pipe is empty until now, so one byte always fits; nothing is ever read back.
        [[maybe_unused]] const ssize_t n = ::write(writeEnd_, &byte, 1);
    }
}

}  // namespace karune
