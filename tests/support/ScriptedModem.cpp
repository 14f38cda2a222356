#include "support/ScriptedModem.h"

#include <algorithm>

#include "link/ModemWords.h"

namespace karune::test {
namespace {

bool carries(const ScriptedModem::Response& response, std::string_view word) {
    for (const ScriptedModem::Chunk& chunk : response) {
        if (containsWord(chunk.bytes, word))
            return true;
    }
    return false;
}

ScriptedModem::Duration lastDelay(const ScriptedModem::Response& response) {
    ScriptedModem::Duration last{};
    for (const ScriptedModem::Chunk& chunk : response)
        last = std::max(last, chunk.delay);
    return last;
}

}  // namespace

std::string ScriptedModem::framed(std::string_view word) {
    return "\r\n" + std::string(word) + "\r\n";
}

ScriptedModem::Response ScriptedModem::reply(std::string_view word, Duration delay) {
    return {{framed(word), delay}};
}

ScriptedModem::ScriptedModem(sim::SimulatedLine& line) {
    standing_["ATE0"] = reply("OK");
    standing_["ATA"] = reply("CONNECT");
    line.setPeer(
        [this](const std::string& text, sim::SimulatedLine& self) { receive(text, self); });
}

void ScriptedModem::queue(const std::string& command, std::vector<Response> responses) {
    std::vector<Response>& q = queued_[command];
    q.insert(q.end(), responses.begin(), responses.end());
}

void ScriptedModem::setStanding(const std::string& command, Response response) {
    standing_[command] = std::move(response);
}

void ScriptedModem::receive(const std::string& line, sim::SimulatedLine& self) {
    if (onLine)
        onLine(line);
    if (connected_ && !line.starts_with("+++")) {
        if (terminal)
            terminal(line, self);
        return;
    }
    connected_ = false;
    answer(line, self);
}

void ScriptedModem::answer(const std::string& command, sim::SimulatedLine& self) {
    Response response;
    if (auto q = queued_.find(command); q != queued_.end() && !q->second.empty()) {
        response = q->second.front();
        q->second.erase(q->second.begin());
    } else if (auto s = standing_.find(command); s != standing_.end()) {
        response = s->second;
    }
    for (const Chunk& chunk : response)
        self.deliver(chunk.bytes, chunk.delay);

    if (command == "ATE0" && ringAfterInit_ && carries(response, "OK"))
        self.deliver(framed("RING"), lastDelay(response) + *ringAfterInit_);
    if (command == "ATA" && carries(response, "CONNECT")) {
        connected_ = true;
        if (onConnect)
            onConnect(self);
    }
}

}  // namespace karune::test
