#include "HayesModem.h"

namespace karune::modemsim {

HayesModem::Reply HayesModem::command(std::string_view line, TimePoint now) {
    // Anything that is not an AT command is noise to a modem in command mode (the PC's final word
    // after a call that never connected, for one).
    if (hung() || !line.starts_with("AT"))
        return {};
    ++commandsAnswered_;
    const std::string_view body = line.substr(2);

    if (body == "A") {
        if (state_ != State::Ringing)
            return {std::string(kNoCarrier)};
        state_ = State::Online;
        nextRing_.reset();
        return {std::string(kConnect), Event::Connected};
    }
    if (body == "H" || body == "H0") {
        if (state_ != State::Online && state_ != State::Held)
            return {std::string(kOk)};
        state_ = State::Idle;
        ++callsEnded_;
        return {std::string(kOk), Event::HungUp};
    }
    if (state_ == State::Idle && !nextRing_ && callsStarted_ < options_.calls) {
        ++callsStarted_;
        nextRing_ = now + options_.ringDelay;
    }
    return {std::string(kOk)};
}

std::string HayesModem::escape() {
    if (state_ != State::Online)
        return {};
    state_ = State::Held;
    return std::string(kOk);
}

std::string HayesModem::loseCarrier() {
    if (state_ != State::Online && state_ != State::Held)
        return {};
    state_ = State::Idle;
    ++callsEnded_;
    return std::string(kNoCarrier);
}

std::string HayesModem::tick(TimePoint now) {
    if (hung() || !nextRing_ || now < *nextRing_)
        return {};
    state_ = State::Ringing;
    nextRing_ = now + options_.ringInterval;
    return std::string(kRing);
}

}  // namespace karune::modemsim
