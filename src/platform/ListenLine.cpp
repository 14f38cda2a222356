#include "platform/ListenLine.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/NetworkTexts.h"
#include "platform/SocketIo.h"

namespace karune {
namespace {

constexpr std::string_view kOk = "\r\nOK\r\n";
constexpr std::string_view kRing = "\r\nRING\r\n";
constexpr std::string_view kConnect = "\r\nCONNECT 38400\r\n";
constexpr std::string_view kEscape = "+++";
// A command longer than any the session sends is noise; it is dropped before it grows.
constexpr std::size_t kLongestCommand = 256;
// Connections taken per wake-up: a crowd at the door cannot keep the line from its call.
constexpr int kAcceptsPerWake = 16;

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string secondsText(Clock::Duration d) {
    return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(d).count()) + " seconds";
}

// "+++" as the session sends it, with a NUL and a CR.
bool isEscape(std::string_view bytes) {
    const std::size_t end = bytes.find_last_not_of(std::string_view("\r\0", 2));
    return bytes.substr(0, end == std::string_view::npos ? 0 : end + 1) == kEscape;
}

}  // namespace

ListenLine::ListenLine(std::shared_ptr<Socket> listener, std::vector<IpNetwork> allow,
                       const Clock& clock, std::string name, ConnectionLog log, ListenLimits limits)
    : listener_(std::move(listener)),
      allow_(std::move(allow)),
      clock_(clock),
      name_(std::move(name)),
      log_(std::move(log)),
      limits_(limits) {}

ListenLine::~ListenLine() {
    hangUp();
}

std::string ListenLine::readUntil(Clock::TimePoint deadline) {
    for (;;) {
        if (!toSession_.empty())
            return std::exchange(toSession_, {});
        const Clock::TimePoint now = clock_.now();
        if (state_ == Call::Ringing && now >= nextRing_) {
            ring();
            continue;
        }
        if (state_ == Call::Online && now >= callEnds_) {
            cutOff("the call went on for longer than " + secondsText(limits_.callLength));
            continue;
        }
        if (state_ == Call::Online && now >= silentSince_ + limits_.callSilence) {
            cutOff("the caller said nothing for " + secondsText(limits_.callSilence));
            continue;
        }
        if (now >= deadline)
            return {};
        if (broken_) {
            sleepOut(clock_, deadline);
            return {};
        }
        std::array<SocketWait, 2> waits{SocketWait{listener_.get()}, SocketWait{&call_}};
        const std::size_t count = call_.isOpen() ? 2 : 1;
        waitForSockets({waits.data(), count}, timeUntil(clock_, wakeAt(deadline)));
        if (waits[0].ready)
            acceptWaiting();
        if (count == 2 && waits[1].ready)
            hearCaller();
    }
}

Clock::TimePoint ListenLine::wakeAt(Clock::TimePoint deadline) const {
    if (state_ == Call::Ringing)
        return std::min(deadline, nextRing_);
    if (state_ == Call::Online)
        return std::min({deadline, callEnds_, silentSince_ + limits_.callSilence});
    return deadline;
}

void ListenLine::acceptWaiting() {
    for (int taken = 0; taken < kAcceptsPerWake; ++taken) {
        SocketPeer peer;
        Socket connection = listener_->accept(peer, broken_);
        if (broken_)
            *listener_ = Socket();
        if (!connection.isOpen())
            return;
        admit(std::move(connection), peer);
    }
}

void ListenLine::admit(Socket connection, const SocketPeer& peer) {
    const bool permitted =
        allow_.empty() ? peer.address.isLoopback() : anyContains(allow_, peer.address);
    // Refused connections close as `connection` goes, before anything is read or sent.
    if (!permitted) {
        log_(name_ + ": refused " + socketPeerText(peer) + ": not in the allow list");
        return;
    }
    if (state_ != Call::None) {
        log_(name_ + ": refused " + socketPeerText(peer) + ": a call is in progress");
        return;
    }
    call_ = std::move(connection);
    caller_ = socketPeerText(peer);
    state_ = Call::Ringing;
    rings_ = 0;
    nextRing_ = clock_.now();
}

void ListenLine::ring() {
    if (rings_ == limits_.rings) {
        log_(name_ + ": let " + caller_ + " go: the call was not answered");
        hangUp();
        return;
    }
    ++rings_;
    nextRing_ += limits_.ringInterval;
    toSession_ += kRing;
}

void ListenLine::hearCaller() {
    std::string bytes;
    const bool open = receiveWaiting(call_, bytes);
    // Before the answer, what the caller sends is not part of the call.
    if (state_ == Call::Online && !bytes.empty()) {
        toSession_ += bytes;
        callBytes_ += bytes.size();
        silentSince_ = clock_.now();
    }
    if (!open) {
        if (state_ == Call::Online)
            toSession_ += kNoCarrier;
        hangUp();
    } else if (callBytes_ > limits_.callBytes) {
        cutOff("the call sent more than " + std::to_string(limits_.callBytes) + " bytes");
    }
}

bool ListenLine::write(std::string_view bytes) {
    if (state_ == Call::Online) {
        if (isEscape(bytes)) {
            hangUp();
            toSession_ += kOk;
            return true;
        }
        if (sendAll(call_, bytes))
            return true;
        hangUp();
        toSession_ += kNoCarrier;
        return false;
    }
    for (char c : bytes) {
        if (c == '\r') {
            command(std::exchange(commandLine_, {}));
        } else if (c != '\n' && c != '\0') {
            commandLine_.push_back(c);
            if (commandLine_.size() > kLongestCommand)
                commandLine_.clear();
        }
    }
    return true;
}

void ListenLine::command(std::string_view line) {
    // Like a modem, the line ignores what is not a command (the final word of a call that never
    // connected, an escape without a call).
    if (line.size() < 2 || upper(line[0]) != 'A' || upper(line[1]) != 'T')
        return;
    const char verb = line.size() > 2 ? upper(line[2]) : '\0';
    if (verb == 'A') {
        if (state_ != Call::Ringing) {
            toSession_ += kNoCarrier;
            return;
        }
        state_ = Call::Online;
        silentSince_ = clock_.now();
        callEnds_ = silentSince_ + limits_.callLength;
        callBytes_ = 0;
        toSession_ += kConnect;
        return;
    }
    if (verb == 'H')
        hangUp();
    toSession_ += kOk;
}

void ListenLine::hangUp() {
    if (call_.isOpen())
        call_.shutdownSend();
    call_ = Socket();
    state_ = Call::None;
}

void ListenLine::cutOff(const std::string& why) {
    log_(name_ + ": hung up on " + caller_ + ": " + why);
    hangUp();
    toSession_ += kNoCarrier;
}

std::string ListenLine::lostReason() const {
    return broken_ ? listenerBrokenText(name_) : std::string();
}

}  // namespace karune
