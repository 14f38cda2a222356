#include "support/UploadingTerminal.h"

#include "link/Frame.h"

namespace karune::test {

UploadingTerminal::UploadingTerminal(std::string name, std::vector<std::string> records,
                                     int crcType)
    : name_(std::move(name)), records_(std::move(records)), crcType_(crcType) {}

std::string UploadingTerminal::frame(char sequence, const std::string& payload, int crcType) {
    const std::string head = std::string("^") + sequence;
    const std::string covered = payload + "*";
    return head + covered + FrameChecksum(crcType == 0 ? head + covered : covered);
}

void UploadingTerminal::operator()(const std::string& line, sim::SimulatedLine& wire) {
    if (line.starts_with("TW")) {
        wire.deliver("OK\r", kReplyDelay);
    } else if (line == "VOL") {
        const std::string payload = name_ + "@" + std::to_string(records_.size());
        wire.deliver(frame('#', payload, crcType_) + "\r", kReplyDelay);
    } else if (line == "ACK" && next_ < records_.size()) {
        // The first "ACK" accepts the file name; each later one the record before.
        const char sequence = static_cast<char>('0' + next_ % 10);
        wire.deliver(frame(sequence, records_[next_], crcType_) + "\r", kReplyDelay);
        ++next_;
    } else if (line == "ACK" && !ended_) {
        wire.deliver("END\r", kReplyDelay);
        ended_ = true;
    }
}

}  // namespace karune::test
