#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "link/Clock.h"
#include "platform/Socket.h"

namespace karune {

// A read returns at most this much, so that a peer sending without end still lets the caller
// look at the clock, and no buffer grows with it.
inline constexpr std::size_t kMaxSocketChunk = 64 * 1024;
// A write that cannot go on for this long has met a peer that stopped reading.
inline constexpr Clock::Duration kSocketWriteStall = std::chrono::seconds(2);
// What a modem says when the call is gone, as the session expects to read it.
inline constexpr std::string_view kNoCarrier = "\r\nNO CARRIER\r\n";

// Hands all of `bytes` to the socket, waiting while the system's buffer is full. False when the
// connection failed or took nothing for kSocketWriteStall.
bool sendAll(Socket& socket, std::string_view bytes);

// Appends what is waiting, at most kMaxSocketChunk bytes, without waiting. False when the peer
// ended the connection or it failed.
bool receiveWaiting(Socket& socket, std::string& out);

// Time left until `deadline` on `clock`, never negative.
Clock::Duration timeUntil(const Clock& clock, Clock::TimePoint deadline);

// Sleeps until `deadline` has passed on `clock`: a line with nothing left to wait on keeps its
// promise of not returning early, without spinning.
void sleepOut(const Clock& clock, Clock::TimePoint deadline);

}  // namespace karune
