#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "linesim/SimulatedLine.h"

namespace karune::test {

// A Hayes modem on a simulated line, scripted per command. In command mode it answers each line
// the program sends (without its CR) with a response: a list of chunks, each delivered a delay
// after the command arrived. A response to "ATA" that carries "CONNECT" switches to data mode:
// from then on the program's lines go to the terminal peer, until a line that starts with "+++"
// brings the modem back to command mode.
//
// Out of the box it answers "ATE0" with "OK", rings one second after each such "OK" arrived,
// answers "ATA" with "CONNECT", and says nothing to anything else. Used on the session thread only.
class ScriptedModem {
public:
    using Duration = Clock::Duration;

    struct Chunk {
        std::string bytes;
        Duration delay;  // after the command arrived
    };
    using Response = std::vector<Chunk>;

    static constexpr Duration kReplyDelay = std::chrono::milliseconds(10);
    static constexpr Duration kDefaultRingDelay = std::chrono::seconds(1);

    // CR LF, the word, CR LF: how a modem frames its result words.
    static std::string framed(std::string_view word);
    // One framed result word after `delay`.
    static Response reply(std::string_view word, Duration delay = kReplyDelay);
    static Response silence() { return {}; }

    // Becomes the line's peer.
    explicit ScriptedModem(sim::SimulatedLine& line);

    // Responses to the next arrivals of `command`, one per arrival, before the standing one.
    void queue(const std::string& command, std::vector<Response> responses);
    // The response to every further arrival of `command` (silence() for none).
    void setStanding(const std::string& command, Response response);
    // After each "ATE0" answered with "OK", ring this long after the last chunk of that answer;
    // nullopt: never ring.
    void ringAfterInit(std::optional<Duration> delay) { ringAfterInit_ = delay; }

    // Every line the program sends, in either mode, before the modem acts on it.
    std::function<void(const std::string& line)> onLine;
    // Called when "ATA" arrives and the modem has scheduled its "CONNECT" (which may be due later).
    std::function<void(sim::SimulatedLine& line)> onConnect;
    // Receives the program's lines while connected; nothing answers them when it is empty.
    sim::SimulatedLine::Peer terminal;

private:
    void receive(const std::string& line, sim::SimulatedLine& self);
    void answer(const std::string& command, sim::SimulatedLine& self);

    std::map<std::string, std::vector<Response>> queued_;
    std::map<std::string, Response> standing_;
    std::optional<Duration> ringAfterInit_ = kDefaultRingDelay;
    bool connected_ = false;
};

}  // namespace karune::test
