#include "platform/TelnetClient.h"

#include <utility>

namespace karune::telnet {
namespace {

std::string command(std::uint8_t verb, std::uint8_t option) {
    return {static_cast<char>(kIac), static_cast<char>(verb), static_cast<char>(option)};
}

}  // namespace

TelnetClient::TelnetClient(std::initializer_list<std::uint8_t> ours,
                           std::initializer_list<std::uint8_t> theirs) {
    for (std::uint8_t option : ours)
        ours_[option].wanted = true;
    for (std::uint8_t option : theirs)
        theirs_[option].wanted = true;
}

std::string TelnetClient::requests() {
    std::string out;
    for (std::size_t option = 0; option < ours_.size(); ++option) {
        if (ours_[option].wanted && !ours_[option].enabled) {
            ours_[option].asked = true;
            out += command(kWill, static_cast<std::uint8_t>(option));
        }
        if (theirs_[option].wanted && !theirs_[option].enabled) {
            theirs_[option].asked = true;
            out += command(kDo, static_cast<std::uint8_t>(option));
        }
    }
    return out;
}

std::size_t TelnetClient::receive(std::string_view bytes, Received& out) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (take(static_cast<std::uint8_t>(bytes[i]), out))
            return i + 1;
    }
    return bytes.size();
}

bool TelnetClient::take(std::uint8_t b, Received& out) {
    switch (state_) {
        case State::Cr:
            state_ = State::Data;
            if (b == 0)
                return false;  // CR NUL is a CR alone
            [[fallthrough]];
        case State::Data:
            if (b == kIac) {
                state_ = State::Iac;
            } else {
                out.data.push_back(static_cast<char>(b));
                if (b == '\r' && !theirs_[kBinary].enabled)
                    state_ = State::Cr;
            }
            return false;
        case State::Iac:
            state_ = State::Data;
            if (b == kIac) {
                out.data.push_back(static_cast<char>(b));
            } else if (b >= kWill && b <= kDont) {
                verb_ = b;
                state_ = State::Verb;
            } else if (b == kSb) {
                sub_.clear();
                subTooLong_ = false;
                state_ = State::Sub;
            }
            // NOP, GA, AYT and the other commands carry nothing for this line.
            return false;
        case State::Verb:
            state_ = State::Data;
            negotiate(verb_, b, out.replies);
            return false;
        case State::Sub:
            if (b == kIac)
                state_ = State::SubIac;
            else
                keepInSubnegotiation(b);
            return false;
        case State::SubIac:
            if (b == kIac) {
                keepInSubnegotiation(b);
                state_ = State::Sub;
                return false;
            }
            if (b != kSe) {
                // An unterminated subnegotiation: drop it and read the byte as a command.
                state_ = State::Iac;
                return take(b, out);
            }
            state_ = State::Data;
            if (subTooLong_ || sub_.empty())
                return false;
            out.subnegotiation = std::move(sub_);
            sub_.clear();
            return true;
    }
    return false;
}

void TelnetClient::keepInSubnegotiation(std::uint8_t b) {
    if (sub_.size() < kMaxSubnegotiation)
        sub_.push_back(static_cast<char>(b));
    else
        subTooLong_ = true;
}

void TelnetClient::negotiate(std::uint8_t verb, std::uint8_t option, std::string& replies) {
    const bool aboutOurs = verb == kDo || verb == kDont;
    const bool enable = verb == kDo || verb == kWill;
    Option& o = aboutOurs ? ours_[option] : theirs_[option];
    const std::uint8_t agree = aboutOurs ? kWill : kDo;
    const std::uint8_t decline = aboutOurs ? kWont : kDont;
    const bool wasAsked = std::exchange(o.asked, false);
    if (enable) {
        if (o.enabled)
            return;
        if (!o.wanted) {
            replies += command(decline, option);
            return;
        }
        o.enabled = true;
        o.refused = false;
        if (!wasAsked)
            replies += command(agree, option);
        return;
    }
    if (o.enabled) {
        o.enabled = false;
        replies += command(decline, option);
    } else if (wasAsked) {
        o.refused = true;
    }
}

std::string TelnetClient::escape(std::string_view data) const {
    std::string out;
    out.reserve(data.size() + data.size() / 8);
    const bool binary = ours_[kBinary].enabled;
    for (char c : data) {
        out.push_back(c);
        if (static_cast<std::uint8_t>(c) == kIac)
            out.push_back(c);
        else if (c == '\r' && !binary)
            out.push_back('\0');
    }
    return out;
}

std::string TelnetClient::subnegotiation(std::uint8_t option, std::string_view parameters) {
    std::string out{static_cast<char>(kIac), static_cast<char>(kSb), static_cast<char>(option)};
    for (char c : parameters) {
        out.push_back(c);
        if (static_cast<std::uint8_t>(c) == kIac)
            out.push_back(c);
    }
    out += static_cast<char>(kIac);
    out += static_cast<char>(kSe);
    return out;
}

}  // namespace karune::telnet
