#include "integration/PtyPeer.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace karune::test {

PtyPeer::PtyPeer() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0)
        return;
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        ::close(master_);
        master_ = -1;
        return;
    }
    slavePath_ = ::ptsname(master_);
    slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    // The line discipline must pass the program's bytes as they are before it sets raw mode.
    termios t{};
    if (slave_ >= 0 && ::tcgetattr(slave_, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(slave_, TCSANOW, &t);
    }
}

PtyPeer::~PtyPeer() {
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool PtyPeer::readSome(Clock::time_point deadline) {
    const auto left = std::max(deadline - Clock::now(), Clock::duration::zero());
    pollfd p{master_, POLLIN, 0};
    const int ready =
        ::poll(&p, 1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count()));
    if (ready < 0)
        return errno == EINTR;
    if (ready == 0)
        return false;
    char buffer[4096];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0)
        return false;  // EIO: nobody holds the other end any more
    received_.append(buffer, static_cast<std::size_t>(n));
    return true;
}

bool PtyPeer::waitFor(std::string_view text, Clock::duration timeout) {
    const auto deadline = Clock::now() + timeout;
    while (received_.find(text) == std::string::npos) {
        if (!readSome(deadline))
            return received_.find(text) != std::string::npos;
    }
    return true;
}

void PtyPeer::send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(master_, bytes.data(), bytes.size());
        if (n <= 0 && errno != EINTR)
            return;
        if (n > 0)
            bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

}  // namespace karune::test
