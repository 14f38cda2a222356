#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "link/Clock.h"

namespace karune::modemsim {

using TimePoint = Clock::TimePoint;

struct ModemOptions {
    // Answers only its first N commands, then nothing more, and rings no more (a modem that hung
    // or lost its power); nullopt answers every one.
    std::optional<int> answers;
    Clock::Duration ringDelay = std::chrono::seconds(2);  // from the modem's "OK" to the first ring
    Clock::Duration ringInterval = std::chrono::seconds(6);  // between rings until answered
    int calls = 1;                                           // calls that arrive, one after another
};

// The modem on the PC's port, in Hayes command mode (echo off, verbose results). A call arrives
// `ringDelay` after a command is acknowledged while the line is idle and calls remain; it rings
// until "ATA" answers it. Online, the line belongs to the terminal until "+++" brings the modem
// back to command mode with the call held; "ATH" ends the call.
class HayesModem {
public:
    enum class Event { None, Connected, HungUp };
    struct Reply {
        std::string bytes;
        Event event = Event::None;
    };

    explicit HayesModem(ModemOptions options) : options_(options) {}

    // One command line from the PC (CR removed), in command mode.
    Reply command(std::string_view line, TimePoint now);
    // "+++" while online: back to command mode, call held.
    std::string escape();
    // The line dropped while online (the carrier is lost): the result word the PC sees.
    std::string loseCarrier();
    // The rings due at `now`.
    std::string tick(TimePoint now);
    std::optional<TimePoint> nextEvent() const { return hung() ? std::nullopt : nextRing_; }

    bool online() const { return state_ == State::Online; }
    bool hung() const { return options_.answers && commandsAnswered_ >= *options_.answers; }
    int callsEnded() const { return callsEnded_; }
    bool allCallsEnded() const { return callsEnded_ >= options_.calls; }

private:
    enum class State { Idle, Ringing, Online, Held };

    ModemOptions options_;
    State state_ = State::Idle;
    std::optional<TimePoint> nextRing_;
    int commandsAnswered_ = 0;
    int callsStarted_ = 0;
    int callsEnded_ = 0;
};

inline constexpr std::string_view kOk = "\r\nOK\r\n";
inline constexpr std::string_view kRing = "\r\nRING\r\n";
inline constexpr std::string_view kConnect = "\r\nCONNECT 38400\r\n";
inline constexpr std::string_view kNoCarrier = "\r\nNO CARRIER\r\n";

}  // namespace karune::modemsim
