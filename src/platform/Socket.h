#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "link/Clock.h"
#include "platform/IpAddress.h"

namespace karune {

// One end of a TCP connection: an address and a port.
struct SocketPeer {
    IpAddress address;
    std::uint16_t port = 0;
};

// "192.0.2.7:40212", "[2001:db8::7]:40212".
inline std::string socketPeerText(const SocketPeer& peer) {
    const std::string address = ipAddressText(peer.address);
    return (peer.address.v6 ? "[" + address + "]" : address) + ":" + std::to_string(peer.port);
}

// A TCP socket, a connection or a listener, in non-blocking mode, closed when destroyed. The POSIX
// and the Winsock halves implement it, so that every line above it is one code path.
// Connections have TCP_NODELAY (a line's replies are short and waited for) and keep-alive probes,
// so that a peer that vanished without a word is noticed within about a minute.
class Socket {
public:
    using Handle = std::uintptr_t;  // a descriptor or a SOCKET

    Socket() = default;
    ~Socket();
    Socket(Socket&& other) noexcept;
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    bool isOpen() const { return handle_ != kNone; }

    enum class Status { Done, WouldBlock, Closed };
    struct Transfer {
        Status status = Status::Done;
        std::size_t bytes = 0;
    };
    // What is waiting, at most `size` bytes, without waiting. Closed: the peer ended the stream,
    // or the connection failed.
    Transfer receive(char* buffer, std::size_t size);
    // As much of `bytes` as the system takes now.
    Transfer send(std::string_view bytes);
    // The peer reads the end of the stream after what was sent.
    void shutdownSend();

    // A listener's next waiting connection, or a closed socket when none waits. `broken` is set
    // when the listener cannot take connections any more (out of descriptors or memory).
    Socket accept(SocketPeer& peer, bool& broken);

    Handle handle() const { return handle_; }

private:
    static constexpr Handle kNone = ~Handle{0};
    explicit Socket(Handle handle) : handle_(handle) {}
    friend struct SocketMaker;

    Handle handle_ = kNone;
};

struct SocketResult {
    Socket socket;       // closed when it failed
    std::string reason;  // then the system's words for why, UTF-8
};

// Connects to HOST:PORT. A name is looked up first; each of its addresses is tried in turn until
// one answers or `timeout` has passed.
SocketResult connectSocket(const std::string& host, std::uint16_t port, Clock::Duration timeout);

// Listens on ADDRESS:PORT; an IPv6 listener takes IPv4 peers too.
SocketResult listenSocket(const IpAddress& address, std::uint16_t port);

struct SocketWait {
    const Socket* socket = nullptr;
    bool forWrite = false;  // else for reading (a listener: a connection waits)
    bool ready = false;     // set by waitForSockets; a failed connection counts as ready
};

// Blocks until one of the sockets is ready or `timeout` has passed, without spinning.
void waitForSockets(std::span<SocketWait> waits, Clock::Duration timeout);

}  // namespace karune
