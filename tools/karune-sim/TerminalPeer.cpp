#include "TerminalPeer.h"

#include "TerminalFrames.h"

namespace karune::modemsim {
namespace {

std::string line(std::string_view text) {
    return std::string(text) + '\r';
}

}  // namespace

std::string TerminalPeer::answer(std::string_view word) {
    if (phase_ == Phase::Done || phase_ == Phase::Dropped)
        return {};

    if (word.starts_with("TW"))
        return line("OK");
    if (word == "VOL") {
        phase_ = Phase::FileNameSent;
        const int count = static_cast<int>(options_.records.size());
        return line(fileNameFrame(options_.name, count, options_.crcType));
    }
    if (word == "CAN")
        return finish(word);
    if (word == "BEL") {
        phase_ = Phase::Abandoned;
        return {};
    }
    if (word == "ACK") {
        switch (phase_) {
            case Phase::FileNameSent:
                current_ = 0;
                return nextAfterAcknowledge();
            case Phase::RecordSent:
                ++acknowledged_;
                if (static_cast<int>(current_) < options_.repeatRecords) {
                    phase_ = Phase::RepeatSent;
                    return line(options_.protocol == 1
                                    ? options_.records[current_]
                                    : recordFrame(sequenceCharacter(current_),
                                                  options_.records[current_], options_.crcType));
                }
                ++current_;
                return nextAfterAcknowledge();
            case Phase::RepeatSent:
                ++current_;
                return nextAfterAcknowledge();
            case Phase::EndSent:
            case Phase::Abandoned:
                return finish(word);
            default:
                return {};
        }
    }
    if (word == "NAK") {
        // After a bad file-name frame the PC asks again with "VOL"; elsewhere "NAK" wants the
        // last line again.
        if (phase_ == Phase::RecordSent)
            return sendRecord();
        if (phase_ == Phase::EndSent)
            return line("END");
    }
    return {};
}

std::string TerminalPeer::nextAfterAcknowledge() {
    if (options_.dropAfter && acknowledged_ >= *options_.dropAfter) {
        phase_ = Phase::Dropped;
        return {};
    }
    if (current_ >= options_.records.size()) {
        phase_ = Phase::EndSent;
        return line("END");
    }
    sendsOfCurrent_ = 0;
    return sendRecord();
}

std::string TerminalPeer::sendRecord() {
    phase_ = Phase::RecordSent;
    const std::string& payload = options_.records[current_];
    const bool corrupt = sendsOfCurrent_ < options_.corruptSends;
    ++sendsOfCurrent_;
    if (options_.protocol == 1)
        return line(payload);
    return line(recordFrame(sequenceCharacter(current_), payload, options_.crcType, corrupt));
}

std::string TerminalPeer::finish(std::string_view word) {
    finalWord_ = std::string(word);
    phase_ = Phase::Done;
    return {};
}

}  // namespace karune::modemsim
