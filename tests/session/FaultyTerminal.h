#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "linesim/SimulatedLine.h"

namespace karune::test {

// Where a terminal's call goes wrong: the PC lines it answers normally, then what it does.
struct LineFault {
    enum class Kind {
        Silence,  // the terminal falls silent for the rest of the call
        Carrier,  // the modem reports "NO CARRIER" once, then silence
        Babble,   // bytes without pause until the PC escapes to command mode ("+++")
    };
    int linesAnswered = 0;
    Kind kind = Kind::Silence;
};

// A handheld terminal that uploads framed records (checksum type 0) and answers "NAK" by sending
// its last line again. It can glue noise before the first send of each record, and can break off at
// a fault.
class FaultyTerminal {
public:
    static constexpr Clock::Duration kReplyDelay = std::chrono::milliseconds(50);
    // Noise arrives this long before the line it spoils, well within one reply.
    static constexpr Clock::Duration kNoiseLead = std::chrono::milliseconds(30);

    struct Options {
        std::vector<std::string> records;  // CP932 payloads
        std::string noiseBeforeFirstSend;  // empty: none
        std::optional<LineFault> fault;
    };

    explicit FaultyTerminal(Options options) : options_(std::move(options)) {}

    void operator()(const std::string& line, sim::SimulatedLine& wire);

    // Set once a babbling fault has begun; the line wrapper reads it.
    bool babbling() const { return babbling_; }
    void stopBabbling() { babbling_ = false; }
    int naksReceived() const { return naks_; }

private:
    void send(sim::SimulatedLine& wire, const std::string& text, bool noisy);
    std::string recordLine(std::size_t index) const;

    Options options_;
    int linesSeen_ = 0;
    bool broken_ = false;
    bool babbling_ = false;
    bool ended_ = false;  // "END" sent
    std::size_t next_ = 0;
    std::string last_;
    int naks_ = 0;
};

}  // namespace karune::test
