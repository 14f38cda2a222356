#include "platform/SocketIo.h"

#include <algorithm>
#include <thread>

namespace karune {

bool sendAll(Socket& socket, std::string_view bytes) {
    while (!bytes.empty()) {
        const Socket::Transfer sent = socket.send(bytes);
        if (sent.status == Socket::Status::Closed)
            return false;
        if (sent.status == Socket::Status::Done) {
            bytes.remove_prefix(sent.bytes);
            continue;
        }
        SocketWait wait{&socket, true, false};
        waitForSockets({&wait, 1}, kSocketWriteStall);
        if (!wait.ready)
            return false;
    }
    return true;
}

bool receiveWaiting(Socket& socket, std::string& out) {
    char buffer[8192];
    std::size_t taken = 0;
    while (taken < kMaxSocketChunk) {
        const Socket::Transfer got =
            socket.receive(buffer, std::min(sizeof buffer, kMaxSocketChunk - taken));
        if (got.status == Socket::Status::Closed)
            return false;
        if (got.status == Socket::Status::WouldBlock)
            break;
        out.append(buffer, got.bytes);
        taken += got.bytes;
    }
    return true;
}

Clock::Duration timeUntil(const Clock& clock, Clock::TimePoint deadline) {
    return std::max(deadline - clock.now(), Clock::Duration::zero());
}

void sleepOut(const Clock& clock, Clock::TimePoint deadline) {
    // The system's sleep may end a little before the clock says so.
    for (Clock::Duration left = timeUntil(clock, deadline); left > Clock::Duration::zero();
         left = timeUntil(clock, deadline))
        std::this_thread::sleep_for(left);
}

}  // namespace karune
