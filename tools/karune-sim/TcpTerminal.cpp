#include "TcpTerminal.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "LineSplitter.h"
#include "ModemLine.h"
#include "TerminalPeer.h"

namespace karune::modemsim {
namespace {

using SteadyClock = std::chrono::steady_clock;

enum ExitStatus { kAcknowledged = 0, kNotAcknowledged = 1, kSetupFailed = 2, kTimedOut = 3 };

// How often a connection is tried while the program does not listen (between its calls).
constexpr std::chrono::milliseconds kRetryPause{100};

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

struct AddressList {
    addrinfo* list = nullptr;
    ~AddressList() {
        if (list != nullptr)
            ::freeaddrinfo(list);
    }
};

// "HOST:PORT" or "[IPV6]:PORT".
bool resolve(const std::string& endpoint, AddressList& out, std::string& error) {
    std::string host;
    std::string port;
    if (endpoint.starts_with('[') && endpoint.find("]:") != std::string::npos) {
        host = endpoint.substr(1, endpoint.find("]:") - 1);
        port = endpoint.substr(endpoint.find("]:") + 2);
    } else if (const std::size_t colon = endpoint.rfind(':'); colon != std::string::npos) {
        host = endpoint.substr(0, colon);
        port = endpoint.substr(colon + 1);
    }
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    const int rc = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &out.list);
    if (rc != 0)
        error = endpoint + ": " + ::gai_strerror(rc);
    return rc == 0;
}

// A connected descriptor, or -1 when nobody listens (yet).
int connectOnce(const addrinfo& target, const std::string& source) {
    Descriptor fd(::socket(target.ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0)
        return -1;
    if (!source.empty()) {
        AddressList local;
        addrinfo hints{};
        hints.ai_family = target.ai_family;
        hints.ai_flags = AI_NUMERICHOST;
        if (::getaddrinfo(source.c_str(), nullptr, &hints, &local.list) != 0 ||
            ::bind(fd.get(), local.list->ai_addr, local.list->ai_addrlen) != 0)
            return -1;
    }
    if (::connect(fd.get(), target.ai_addr, target.ai_addrlen) != 0)
        return -1;
    return fd.release();
}

bool sendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Waits for `fd` (or only for the time, with -1) until `until`; false when a stop signal came.
bool waitFor(int fd, std::optional<SteadyClock::time_point> until, const sigset_t& waitMask,
             const volatile sig_atomic_t& stopSignal) {
    pollfd pfd{fd, POLLIN, 0};
    timespec timeout{};
    timespec* timeoutPointer = nullptr;
    if (until) {
        const auto wait = std::max(*until - SteadyClock::now(), SteadyClock::duration::zero());
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
        timeout.tv_sec = seconds.count();
        timeout.tv_nsec =
            std::chrono::duration_cast<std::chrono::nanoseconds>(wait - seconds).count();
        timeoutPointer = &timeout;
    }
    ::ppoll(&pfd, fd >= 0 ? 1 : 0, timeoutPointer, &waitMask);
    return stopSignal == 0;
}

}  // namespace

int runTcpTerminal(const SimOptions& options, const sigset_t& waitMask,
                   const volatile sig_atomic_t& stopSignal) {
    AddressList target;
    std::string error;
    if (!resolve(options.connect, target, error)) {
        std::cerr << "karune-sim: " << error << '\n';
        return kSetupFailed;
    }
    std::optional<SteadyClock::time_point> giveUpAt;
    if (options.timeout.count() > 0)
        giveUpAt = SteadyClock::now() + options.timeout;
    auto timedOut = [&] { return giveUpAt && SteadyClock::now() >= *giveUpAt; };

    std::vector<std::optional<std::string>> finalWords;
    for (int call = 1; call <= options.modem.calls; ++call) {
        int connected = -1;
        while ((connected = connectOnce(*target.list, options.source)) < 0) {
            if (timedOut()) {
                std::cerr << "karune-sim: timed out\n";
                return kTimedOut;
            }
            if (!waitFor(-1, SteadyClock::now() + kRetryPause, waitMask, stopSignal))
                return kNotAcknowledged;
        }
        const Descriptor fd(connected);
        TerminalPeer terminal(options.terminal);
        LineSplitter splitter;
        for (bool open = true; open;) {
            if (!waitFor(fd.get(), giveUpAt, waitMask, stopSignal))
                return kNotAcknowledged;
            if (timedOut()) {
                std::cerr << "karune-sim: timed out\n";
                return kTimedOut;
            }
            char buffer[4096];
            const ssize_t n = ::recv(fd.get(), buffer, sizeof buffer, 0);
            if (n < 0 && errno == EINTR)
                continue;
            open = n > 0;
            for (const std::string& line :
                 splitter.feed({buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0))})) {
                open = open && sendAll(fd.get(), terminal.answer(line));
            }
            // Dropping the call in any way but falling silent is leaving the connection.
            if (terminal.dropped() && options.dropMode != DropMode::Silent)
                open = false;
        }
        finalWords.push_back(terminal.finalWord());
        std::cout << callReport(call, terminal.finalWord(), terminal.acknowledged()) << '\n'
                  << std::flush;
    }
    const bool all =
        std::all_of(finalWords.begin(), finalWords.end(), [](const auto& w) { return w == "ACK"; });
    return all ? kAcknowledged : kNotAcknowledged;
}

}  // namespace karune::modemsim
