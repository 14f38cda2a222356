#include "platform/posix/PosixSerialLine.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <thread>
#include <utility>

#include "platform/PortErrors.h"

namespace karune {
namespace {

using std::chrono::milliseconds;

// One byte of 8N1 at 38400 baud: ten bits.
constexpr std::chrono::microseconds kByteTime{260};
// A write that cannot go on for this long has met a stuck line; the caller hears false.
constexpr milliseconds kWriteStall{2000};
// What a closing line waits at most for its last bytes (the hang-up command) to leave.
constexpr milliseconds kCloseDrainLimit{1000};
// A read returns at most this much, so a babbling line still lets the caller look at the clock.
constexpr std::size_t kMaxChunk = 64 * 1024;

int pollTimeout(Clock::Duration remaining) {
    const auto ms = std::chrono::ceil<milliseconds>(remaining).count();
    return static_cast<int>(std::clamp<decltype(ms)>(ms, 0, INT_MAX));
}

bool hungUp(short revents) {
    return (revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

}  // namespace

PosixSerialLine::PosixSerialLine(int fd, const termios& original, const Clock& clock,
                                 std::string devicePath)
    : fd_(fd),
      original_(original),
      clock_(clock),
      devicePath_(std::move(devicePath)),
      readyLine_(ModemStatusWatch::start(fd)) {}

std::string PosixSerialLine::lostReason() const {
    return gone_ ? portOpenErrorText(goneError_, devicePath_) : std::string();
}

std::optional<bool> PosixSerialLine::modemReady() const {
    if (readyLine_ == nullptr)
        return std::nullopt;
    return readyLine_->ready();
}

PosixSerialLine::~PosixSerialLine() {
    readyLine_.reset();
    if (!gone_)
        letOutputLeave();
    ::tcsetattr(fd_, TCSANOW, &original_);
    // The exclusive mode belongs to the tty, not to this descriptor: a pseudo-terminal held open
    // elsewhere would otherwise refuse the next open.
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
}

std::string PosixSerialLine::readUntil(Clock::TimePoint deadline) {
    std::string out;
    for (;;) {
        if (!gone_ && drainInto(out) == Drain::Data)
            return out;
        if (readyLine_ != nullptr && readyLine_->takeChange())
            return out;
        if (!waitReadable(deadline))
            return out;
    }
}

PosixSerialLine::Drain PosixSerialLine::drainInto(std::string& out) {
    char buffer[4096];
    while (out.size() < kMaxChunk) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n > 0) {
            out.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // End of file (hang-up), EIO (the other side of a pty closed), ENXIO or ENODEV (device
        // removed): the line is gone for good.
        gone_ = true;
        if (n < 0)
            goneError_ = errno;
        break;
    }
    if (!out.empty())
        return Drain::Data;
    return gone_ ? Drain::Gone : Drain::Nothing;
}

bool PosixSerialLine::waitReadable(Clock::TimePoint deadline) {
    for (;;) {
        const Clock::TimePoint now = clock_.now();
        if (now >= deadline)
            return false;
        if (gone_) {
            // Nothing left to wait on: keep the promise of not returning early, without spinning.
            std::this_thread::sleep_until(std::chrono::steady_clock::now() + (deadline - now));
            return false;
        }
        pollfd waits[] = {{fd_, POLLIN, 0}, {readyLine_ ? readyLine_->wakeFd() : -1, POLLIN, 0}};
        const int ready = ::poll(waits, 2, pollTimeout(deadline - now));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            continue;  // the loop re-checks the deadline against the clock
        const short port = waits[0].revents;
        if (ready < 0 || (hungUp(port) && (port & POLLIN) == 0))
            gone_ = true;
        return true;
    }
}

bool PosixSerialLine::write(std::string_view bytes) {
    while (!bytes.empty()) {
        if (gone_)
            return false;
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitWritable())
                return false;
            continue;
        }
        if (n < 0 && (errno == EIO || errno == ENXIO || errno == ENODEV || errno == EPIPE)) {
            gone_ = true;
            goneError_ = errno;
        }
        return false;
    }
    return true;
}

bool PosixSerialLine::waitWritable() {
    const Clock::TimePoint deadline = clock_.now() + kWriteStall;
    for (;;) {
        const Clock::TimePoint now = clock_.now();
        if (now >= deadline)
            return false;
        pollfd port{fd_, POLLOUT, 0};
        const int ready = ::poll(&port, 1, pollTimeout(deadline - now));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            continue;
        if (ready < 0)
            return false;
        if (hungUp(port.revents)) {
            gone_ = true;
            return false;
        }
        return true;
    }
}

void PosixSerialLine::letOutputLeave() {
    // Restoring the caller's line settings while bytes still wait in the driver could send them
    // at another speed; wait once for the time they need at 38400 baud instead of tcdrain(),
    // which may block for ever on a line nobody reads.
    int queued = 0;
    if (::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0)
        return;
    const auto wait =
        std::min<Clock::Duration>(kByteTime * queued + milliseconds(5), kCloseDrainLimit);
    std::this_thread::sleep_for(wait);
}

}  // namespace karune
