#include "FaultyTerminal.h"

#include "support/UploadingTerminal.h"

namespace karune::test {

std::string FaultyTerminal::recordLine(std::size_t index) const {
    return UploadingTerminal::frame(static_cast<char>('0' + index % 10), options_.records[index],
                                    0);
}

void FaultyTerminal::send(sim::SimulatedLine& wire, const std::string& text, bool noisy) {
    if (noisy && !options_.noiseBeforeFirstSend.empty())
        wire.deliver(options_.noiseBeforeFirstSend, kReplyDelay - kNoiseLead);
    wire.deliver(text + "\r", kReplyDelay);
    last_ = text;
}

void FaultyTerminal::operator()(const std::string& line, sim::SimulatedLine& wire) {
    if (broken_)
        return;
    if (options_.fault && linesSeen_++ >= options_.fault->linesAnswered) {
        broken_ = true;
        if (options_.fault->kind == LineFault::Kind::Carrier)
            wire.deliver("\r\nNO CARRIER\r\n", kReplyDelay);
        babbling_ = options_.fault->kind == LineFault::Kind::Babble;
        return;
    }
    if (line.starts_with("TW")) {
        send(wire, "OK", false);
    } else if (line == "VOL") {
        const std::string payload = "DATA@" + std::to_string(options_.records.size());
        send(wire, UploadingTerminal::frame('#', payload, 0), false);
    } else if (line == "NAK") {
        ++naks_;
        send(wire, last_, false);
    } else if (line == "CAN" || (line == "ACK" && ended_)) {
        broken_ = true;
    } else if (line == "ACK" && next_ < options_.records.size()) {
        send(wire, recordLine(next_), true);
        ++next_;
    } else if (line == "ACK") {
        send(wire, "END", false);
        ended_ = true;
    }
}

}  // namespace karune::test
