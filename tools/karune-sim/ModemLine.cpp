#include "ModemLine.h"

#include <algorithm>

namespace karune::modemsim {

ModemLine::ModemLine(ModemOptions modem, TerminalOptions terminal, DropMode dropMode)
    : modem_(modem), terminalOptions_(std::move(terminal)), dropMode_(dropMode) {}

ModemLine::Output ModemLine::receive(std::string_view bytes, TimePoint now) {
    Output out;
    for (const std::string& line : splitter_.feed(bytes)) {
        if (closed_)
            break;
        handleLine(line, now, out);
    }
    return out;
}

ModemLine::Output ModemLine::tick(TimePoint now) {
    Output out;
    if (!closed_)
        out.bytes = modem_.tick(now);
    return out;
}

void ModemLine::handleLine(const std::string& line, TimePoint now, Output& out) {
    if (!modem_.online()) {
        const HayesModem::Reply reply = modem_.command(line, now);
        out.bytes += reply.bytes;
        if (reply.event == HayesModem::Event::Connected)
            terminal_.emplace(terminalOptions_);
        if (reply.event == HayesModem::Event::HungUp)
            endCall(out);
        return;
    }
    if (line.starts_with("+++")) {
        out.bytes += modem_.escape();
        return;
    }
    if (!terminal_)
        return;
    out.bytes += terminal_->answer(line);
    if (!terminal_->dropped())
        return;
    if (dropMode_ == DropMode::Carrier) {
        out.bytes += modem_.loseCarrier();
        endCall(out);
    } else if (dropMode_ == DropMode::Close) {
        endCall(out);
        closed_ = true;
        out.closeLine = true;
    }
}

void ModemLine::endCall(Output& out) {
    const std::optional<std::string> word = terminal_ ? terminal_->finalWord() : std::nullopt;
    const int acknowledged = terminal_ ? terminal_->acknowledged() : 0;
    finalWords_.push_back(word);
    out.reports.push_back(callReport(static_cast<int>(finalWords_.size()), word, acknowledged));
    terminal_.reset();
}

bool ModemLine::allAcknowledged() const {
    return !finalWords_.empty() && std::all_of(finalWords_.begin(), finalWords_.end(),
                                               [](const auto& w) { return w == "ACK"; });
}

std::string callReport(int callNumber, const std::optional<std::string>& finalWord,
                       int acknowledged) {
    return "call " + std::to_string(callNumber) + ": " + finalWord.value_or("none") + ", " +
           std::to_string(acknowledged) + " records acknowledged";
}

}  // namespace karune::modemsim
