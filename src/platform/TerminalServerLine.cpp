#include "platform/TerminalServerLine.h"

#include <algorithm>
#include <utility>

#include "platform/NetworkTexts.h"
#include "platform/SocketIo.h"

namespace karune {

TerminalServerLine::TerminalServerLine(Socket connection, std::unique_ptr<ComPortClient> comPort,
                                       const Clock& clock, std::string name)
    : connection_(std::move(connection)),
      comPort_(std::move(comPort)),
      clock_(clock),
      name_(std::move(name)) {}

TerminalServerLine::~TerminalServerLine() {
    awaitLastWords();
    if (!gone_)
        connection_.shutdownSend();
}

// The modem's reply to the hang-up shows that the server wrote the command to the port; what
// else comes meanwhile is of no use.
void TerminalServerLine::awaitLastWords() {
    const Clock::TimePoint giveUp = clock_.now() + kClosingWait;
    Clock::TimePoint quietUntil = lastWrite_ + kClosingQuiet;
    while (!gone_ && pump(std::min(giveUp, quietUntil))) {
        if (!data_.empty()) {
            data_.clear();
            quietUntil = clock_.now() + kClosingQuiet;
        }
    }
}

bool TerminalServerLine::settle() {
    if (comPort_ == nullptr)
        return true;
    if (!sendAll(connection_, comPort_->opening())) {
        lose();
        return false;
    }
    const Clock::TimePoint deadline = clock_.now() + kSettleTime;
    while (!gone_ && !comPort_->settled() && pump(deadline)) {
    }
    comPort_->endOpening();
    readyChanged_ = false;  // the first report is the state the line opened with, not a change
    return !gone_;
}

std::string TerminalServerLine::readUntil(Clock::TimePoint deadline) {
    for (;;) {
        if (!data_.empty())
            return std::exchange(data_, {});
        if (std::exchange(readyChanged_, false))
            return {};
        if (!pump(deadline))
            return {};
    }
}

bool TerminalServerLine::pump(Clock::TimePoint deadline) {
    const Clock::Duration left = timeUntil(clock_, deadline);
    if (gone_) {
        sleepOut(clock_, deadline);
        return false;
    }
    if (left == Clock::Duration::zero())
        return false;
    SocketWait wait{&connection_, false, false};
    waitForSockets({&wait, 1}, left);
    if (!wait.ready)
        return true;  // the caller looks at the clock again
    std::string bytes;
    const bool open = receiveWaiting(connection_, bytes);
    take(bytes);
    if (!open)
        lose();
    return true;
}

void TerminalServerLine::take(std::string_view bytes) {
    if (comPort_ == nullptr) {
        data_ += bytes;
        return;
    }
    const ComPortClient::Inbound in = comPort_->receive(bytes);
    data_ += in.data;
    if (!in.replies.empty() && !sendAll(connection_, in.replies))
        lose();
    if (comPort_->modemReady() != reportedReady_) {
        reportedReady_ = comPort_->modemReady();
        readyChanged_ = true;
    }
}

void TerminalServerLine::lose() {
    if (gone_)
        return;
    gone_ = true;
    connection_ = Socket();
    data_ += kNoCarrier;
}

bool TerminalServerLine::write(std::string_view bytes) {
    if (gone_)
        return false;
    lastWrite_ = clock_.now();
    if (sendAll(connection_, comPort_ ? comPort_->outbound(bytes) : std::string(bytes)))
        return true;
    lose();
    return false;
}

std::string TerminalServerLine::lostReason() const {
    return gone_ ? connectionLostText(name_) : std::string();
}

std::optional<bool> TerminalServerLine::modemReady() const {
    return comPort_ && !gone_ ? comPort_->modemReady() : std::nullopt;
}

}  // namespace karune
