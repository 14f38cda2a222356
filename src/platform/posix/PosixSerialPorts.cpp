#include "platform/posix/PosixSerialPorts.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <utility>

#include "platform/PortErrors.h"
#include "platform/PortMapping.h"
#include "platform/PortNames.h"
#include "platform/posix/PosixSerialLine.h"

namespace karune {
namespace {

// The modem's line: 38400 baud, 8 data bits, no parity, 1 stop bit, raw bytes, no flow control.
// VMIN 1 with O_NONBLOCK makes an empty read EAGAIN, so that a read of 0 means hang-up.
termios modemLineSettings(const termios& original) {
    termios t = original;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD | CS8;
    t.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, B38400);
    ::cfsetospeed(&t, B38400);
    return t;
}

// Runs the set-up of an opened descriptor; on failure closes it and keeps errno for the text.
class OpenedTty {
public:
    explicit OpenedTty(int fd) : fd_(fd) {}
    ~OpenedTty() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    OpenedTty(const OpenedTty&) = delete;
    OpenedTty& operator=(const OpenedTty&) = delete;

    int fd() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

}  // namespace

PosixSerialPorts::PosixSerialPorts(const Clock& clock, ConnectionLog log)
    : clock_(clock), log_(std::move(log)) {}

PortOpenResult PosixSerialPorts::open(int portNumber) {
    const std::optional<std::string> mapping = portOverride(portNumber);
    if (mapping && isNetworkMapping(*mapping) && portNumber >= kFirstPort &&
        portNumber <= kLastPort)
        return openNetworkLine(*mapping, clock_, log_, listeners_);
    const std::optional<std::string> path =
        portDevicePath(portNumber, mapping ? mapping->c_str() : nullptr);
    if (!path)
        return {nullptr, portNumberErrorText(portNumber)};
    auto failed = [&](int error) {
        return PortOpenResult{nullptr, portOpenErrorText(error, *path)};
    };

    OpenedTty tty(::open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (tty.fd() < 0)
        return failed(errno);

    // TIOCEXCL keeps out other opens (but not root's); the lock catches those and, unlike a lock
    // file, vanishes with a crashed process.
    if (::flock(tty.fd(), LOCK_EX | LOCK_NB) != 0)
        return failed(errno);
    termios original{};
    if (::tcgetattr(tty.fd(), &original) != 0)
        return failed(errno);

    const termios settings = modemLineSettings(original);
    if (::tcsetattr(tty.fd(), TCSANOW, &settings) != 0) {
        const int error = errno;
        ::tcsetattr(tty.fd(), TCSANOW, &original);
        return failed(error);
    }
    // Last of the steps that can fail: the exclusive mode outlives this descriptor.
    if (::ioctl(tty.fd(), TIOCEXCL) != 0) {
        const int error = errno;
        ::tcsetattr(tty.fd(), TCSANOW, &original);
        return failed(error);
    }
    // A pseudo-terminal has no modem lines; only a real port can refuse this, and the modem then
    // simply sees what the port's defaults give it.
    int dtr = TIOCM_DTR;
    ::ioctl(tty.fd(), TIOCMBIS, &dtr);
    ::tcflush(tty.fd(), TCIFLUSH);

    return {std::make_unique<PosixSerialLine>(tty.release(), original, clock_, *path), {}};
}

}  // namespace karune
