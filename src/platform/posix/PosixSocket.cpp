#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

#include "platform/PortErrors.h"
#include "platform/Socket.h"

namespace karune {

struct SocketMaker {
    static Socket adopt(int fd) { return Socket(static_cast<Socket::Handle>(fd)); }
};

namespace {

using std::chrono::steady_clock;

// Keep-alive: the first probe after 10 s of silence, then every 5 s; 3 unanswered end it.
constexpr int kKeepAliveIdleSeconds = 10;
constexpr int kKeepAliveIntervalSeconds = 5;
constexpr int kKeepAliveProbes = 3;
constexpr int kListenBacklog = 8;

int fdOf(const Socket& socket) {
    return static_cast<int>(socket.handle());
}

int pollTimeout(Clock::Duration remaining) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(remaining).count();
    return static_cast<int>(std::clamp<decltype(ms)>(ms, 0, INT_MAX));
}

void tuneConnection(int fd) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepAliveIdleSeconds,
                 sizeof kKeepAliveIdleSeconds);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepAliveIntervalSeconds,
                 sizeof kKeepAliveIntervalSeconds);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kKeepAliveProbes, sizeof kKeepAliveProbes);
}

SocketPeer peerOf(const sockaddr_storage& address) {
    SocketPeer peer;
    if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        peer.address = ipAddressFromBytes(v6.sin6_addr.s6_addr, 16);
        peer.port = ntohs(v6.sin6_port);
    } else {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        peer.address =
            ipAddressFromBytes(reinterpret_cast<const std::uint8_t*>(&v4.sin_addr.s_addr), 4);
        peer.port = ntohs(v4.sin_port);
    }
    return peer;
}

// One attempt on one address; the error number when it fails.
int connectTo(const addrinfo& address, steady_clock::time_point deadline, Socket& out) {
    Socket socket = SocketMaker::adopt(::socket(address.ai_family,
                                                address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                                address.ai_protocol));
    if (!socket.isOpen())
        return errno;
    const int fd = fdOf(socket);
    if (::connect(fd, address.ai_addr, address.ai_addrlen) != 0) {
        if (errno != EINPROGRESS)
            return errno;
        SocketWait wait{&socket, true, false};
        waitForSockets({&wait, 1}, deadline - steady_clock::now());
        if (!wait.ready)
            return ETIMEDOUT;
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            return errno;
        if (error != 0)
            return error;
    }
    tuneConnection(fd);
    out = std::move(socket);
    return 0;
}

}  // namespace

Socket::~Socket() {
    if (isOpen())
        ::close(fdOf(*this));
}

Socket::Socket(Socket&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        if (isOpen())
            ::close(fdOf(*this));
        handle_ = std::exchange(other.handle_, kNone);
    }
    return *this;
}

Socket::Transfer Socket::receive(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::recv(fdOf(*this), buffer, size, 0);
        if (n > 0)
            return {Status::Done, static_cast<std::size_t>(n)};
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return {Status::WouldBlock, 0};
        return {Status::Closed, 0};
    }
}

Socket::Transfer Socket::send(std::string_view bytes) {
    for (;;) {
        const ssize_t n = ::send(fdOf(*this), bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n >= 0)
            return {Status::Done, static_cast<std::size_t>(n)};
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return {Status::WouldBlock, 0};
        return {Status::Closed, 0};
    }
}

void Socket::shutdownSend() {
    ::shutdown(fdOf(*this), SHUT_WR);
}

Socket Socket::accept(SocketPeer& peer, bool& broken) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    const int fd = ::accept4(fdOf(*this), reinterpret_cast<sockaddr*>(&address), &length,
                             SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        broken = errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM ||
                 errno == EBADF || errno == EINVAL;
        return {};
    }
    tuneConnection(fd);
    peer = peerOf(address);
    return SocketMaker::adopt(fd);
}

SocketResult connectSocket(const std::string& host, std::uint16_t port, Clock::Duration timeout) {
    const steady_clock::time_point deadline =
        steady_clock::now() + std::chrono::duration_cast<steady_clock::duration>(timeout);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int rc = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
        rc != 0)
        return {{}, rc == EAI_SYSTEM ? systemErrorReason(errno) : ::gai_strerror(rc)};
    int error = ETIMEDOUT;
    SocketResult result;
    for (const addrinfo* a = found; a != nullptr && steady_clock::now() < deadline;
         a = a->ai_next) {
        error = connectTo(*a, deadline, result.socket);
        if (error == 0)
            break;
    }
    ::freeaddrinfo(found);
    if (!result.socket.isOpen())
        result.reason = systemErrorReason(error);
    return result;
}

SocketResult listenSocket(const IpAddress& address, std::uint16_t port) {
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (address.v6) {
        auto& v6 = reinterpret_cast<sockaddr_in6&>(storage);
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(port);
        std::memcpy(v6.sin6_addr.s6_addr, address.bytes.data(), 16);
        length = sizeof v6;
    } else {
        auto& v4 = reinterpret_cast<sockaddr_in&>(storage);
        v4.sin_family = AF_INET;
        v4.sin_port = htons(port);
        std::memcpy(&v4.sin_addr.s_addr, address.bytes.data(), 4);
        length = sizeof v4;
    }
    Socket socket = SocketMaker::adopt(
        ::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket.isOpen())
        return {{}, systemErrorReason(errno)};
    const int fd = fdOf(socket);
    const int on = 1;
    const int off = 0;
    // Connections of the last run still in TIME_WAIT must not keep the line from listening again.
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (address.v6)
        ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&storage), length) != 0 ||
        ::listen(fd, kListenBacklog) != 0)
        return {{}, systemErrorReason(errno)};
    return {std::move(socket), {}};
}

void waitForSockets(std::span<SocketWait> waits, Clock::Duration timeout) {
    std::vector<pollfd> fds;
    fds.reserve(waits.size());
    for (const SocketWait& w : waits)
        fds.push_back({fdOf(*w.socket), static_cast<short>(w.forWrite ? POLLOUT : POLLIN), 0});
    const steady_clock::time_point deadline =
        steady_clock::now() + std::chrono::duration_cast<steady_clock::duration>(timeout);
    for (;;) {
        const int ready =
            ::poll(fds.data(), fds.size(), pollTimeout(deadline - steady_clock::now()));
        if (ready < 0 && errno == EINTR)
            continue;
        for (std::size_t i = 0; i < waits.size(); ++i)
            waits[i].ready = ready > 0 && fds[i].revents != 0;
        return;
    }
}

}  // namespace karune
