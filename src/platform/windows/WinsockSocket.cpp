#include <winsock2.h>
#include <ws2tcpip.h>
// After winsock2.h, which it needs.
#include <mstcpip.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <thread>
#include <utility>

#include "platform/PortErrors.h"
#include "platform/Socket.h"

namespace karune {

struct SocketMaker {
    static Socket adopt(SOCKET s) { return Socket(static_cast<Socket::Handle>(s)); }
};

namespace {

using std::chrono::steady_clock;

// Keep-alive: the first probe after 10 s of silence, then every 5 s (the system sends ten).
constexpr ULONG kKeepAliveIdleMs = 10'000;
constexpr ULONG kKeepAliveIntervalMs = 5'000;
constexpr int kListenBacklog = 8;

// Winsock for the life of the process, started by the first socket.
class WinsockLibrary {
public:
    WinsockLibrary() {
        WSADATA data;
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockLibrary() {
        if (started_)
            WSACleanup();
    }
    WinsockLibrary(const WinsockLibrary&) = delete;
    WinsockLibrary& operator=(const WinsockLibrary&) = delete;

private:
    bool started_ = false;
};

void useWinsock() {
    static const WinsockLibrary library;
}

SOCKET socketOf(const Socket& socket) {
    return static_cast<SOCKET>(socket.handle());
}

// A program the window starts (the text editor) must not inherit the line's sockets.
Socket newSocket(int family) {
    const SOCKET s = ::socket(family, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return {};
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    return SocketMaker::adopt(s);
}

void tuneConnection(SOCKET s) {
    const BOOL on = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    tcp_keepalive keepAlive{1, kKeepAliveIdleMs, kKeepAliveIntervalMs};
    DWORD returned = 0;
    WSAIoctl(s, SIO_KEEPALIVE_VALS, &keepAlive, sizeof keepAlive, nullptr, 0, &returned, nullptr,
             nullptr);
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
    Socket socket = newSocket(address.ai_family);
    if (!socket.isOpen())
        return WSAGetLastError();
    const SOCKET s = socketOf(socket);
    if (::connect(s, address.ai_addr, static_cast<int>(address.ai_addrlen)) != 0) {
        if (WSAGetLastError() != WSAEWOULDBLOCK)
            return WSAGetLastError();
        SocketWait wait{&socket, true, false};
        waitForSockets({&wait, 1}, deadline - steady_clock::now());
        if (!wait.ready)
            return WSAETIMEDOUT;
        int error = 0;
        int length = sizeof error;
        if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0)
            return WSAGetLastError();
        if (error != 0)
            return error;
    }
    tuneConnection(s);
    out = std::move(socket);
    return 0;
}

}  // namespace

Socket::~Socket() {
    if (isOpen())
        closesocket(socketOf(*this));
}

Socket::Socket(Socket&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        if (isOpen())
            closesocket(socketOf(*this));
        handle_ = std::exchange(other.handle_, kNone);
    }
    return *this;
}

Socket::Transfer Socket::receive(char* buffer, std::size_t size) {
    const int n =
        recv(socketOf(*this), buffer, static_cast<int>(std::min<std::size_t>(size, INT_MAX)), 0);
    if (n > 0)
        return {Status::Done, static_cast<std::size_t>(n)};
    if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK)
        return {Status::WouldBlock, 0};
    return {Status::Closed, 0};
}

Socket::Transfer Socket::send(std::string_view bytes) {
    const int n = ::send(socketOf(*this), bytes.data(),
                         static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX)), 0);
    if (n >= 0)
        return {Status::Done, static_cast<std::size_t>(n)};
    if (WSAGetLastError() == WSAEWOULDBLOCK)
        return {Status::WouldBlock, 0};
    return {Status::Closed, 0};
}

void Socket::shutdownSend() {
    shutdown(socketOf(*this), SD_SEND);
}

Socket Socket::accept(SocketPeer& peer, bool& broken) {
    sockaddr_storage address{};
    int length = sizeof address;
    const SOCKET s = ::accept(socketOf(*this), reinterpret_cast<sockaddr*>(&address), &length);
    if (s == INVALID_SOCKET) {
        const int error = WSAGetLastError();
        broken =
            error == WSAEMFILE || error == WSAENOBUFS || error == WSAENOTSOCK || error == WSAEINVAL;
        return {};
    }
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    tuneConnection(s);
    peer = peerOf(address);
    return SocketMaker::adopt(s);
}

SocketResult connectSocket(const std::string& host, std::uint16_t port, Clock::Duration timeout) {
    useWinsock();
    const steady_clock::time_point deadline =
        steady_clock::now() + std::chrono::duration_cast<steady_clock::duration>(timeout);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (const int rc = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
        rc != 0)
        return {{}, systemErrorReason(rc)};
    int error = WSAETIMEDOUT;
    SocketResult result;
    for (const addrinfo* a = found; a != nullptr && steady_clock::now() < deadline;
         a = a->ai_next) {
        error = connectTo(*a, deadline, result.socket);
        if (error == 0)
            break;
    }
    freeaddrinfo(found);
    if (!result.socket.isOpen())
        result.reason = systemErrorReason(error);
    return result;
}

SocketResult listenSocket(const IpAddress& address, std::uint16_t port) {
    useWinsock();
    sockaddr_storage storage{};
    int length = 0;
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
    Socket socket = newSocket(storage.ss_family);
    if (!socket.isOpen())
        return {{}, systemErrorReason(WSAGetLastError())};
    const SOCKET s = socketOf(socket);
    // No SO_REUSEADDR: on Windows it would let another program take the port over, and a plain
    // bind already passes connections of the last run still in TIME_WAIT.
    if (address.v6) {
        const DWORD off = 0;
        setsockopt(s, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&off), sizeof off);
    }
    if (bind(s, reinterpret_cast<const sockaddr*>(&storage), length) != 0 ||
        listen(s, kListenBacklog) != 0)
        return {{}, systemErrorReason(WSAGetLastError())};
    return {std::move(socket), {}};
}

void waitForSockets(std::span<SocketWait> waits, Clock::Duration timeout) {
    const auto ms = std::clamp<long long>(
        std::chrono::ceil<std::chrono::milliseconds>(timeout).count(), 0, INT_MAX);
    fd_set readable;
    fd_set writable;
    fd_set failed;
    FD_ZERO(&readable);
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    for (const SocketWait& w : waits) {
        FD_SET(socketOf(*w.socket), w.forWrite ? &writable : &readable);
        FD_SET(socketOf(*w.socket), &failed);
    }
    timeval limit{static_cast<long>(ms / 1000), static_cast<long>(ms % 1000 * 1000)};
    // select() refuses an empty set at once; there is then nothing to wait for but the time.
    if (waits.empty()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    const int ready = select(0, &readable, &writable, &failed, &limit);
    for (SocketWait& w : waits) {
        const SOCKET s = socketOf(*w.socket);
        w.ready =
            ready > 0 && (FD_ISSET(s, w.forWrite ? &writable : &readable) || FD_ISSET(s, &failed));
    }
}

}  // namespace karune
