#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace karune::modemsim {

struct TerminalOptions {
    std::string name = "DATA";         // CP932, sent in the file-name frame
    std::vector<std::string> records;  // CP932 payloads, in upload order
    int protocol = 0;                  // 0 framed records, 1 plain record lines
    int crcType = 0;                   // the checksum variant of every frame
    int corruptSends = 0;              // the first N sends of each record carry a bad checksum
    int repeatRecords = 0;             // the first N records are sent again after their "ACK"
    std::optional<int> dropAfter;      // fall silent once this many records were acknowledged
};

// The handheld terminal once the call is connected: answers the PC's words line by line. Every
// line it sends ends with CR.
class TerminalPeer {
public:
    explicit TerminalPeer(TerminalOptions options) : options_(std::move(options)) {}

    // The bytes answering one line from the PC (CR removed); empty when the terminal says nothing.
    std::string answer(std::string_view line);

    // The upload stopped at the drop point and the terminal says nothing more.
    bool dropped() const { return phase_ == Phase::Dropped; }
    // "ACK" or "CAN" once the PC sent its final word.
    const std::optional<std::string>& finalWord() const { return finalWord_; }
    // Records the PC acknowledged (repeats not counted).
    int acknowledged() const { return acknowledged_; }

private:
    enum class Phase {
        Idle,
        FileNameSent,
        RecordSent,
        RepeatSent,
        EndSent,
        Abandoned,
        Dropped,
        Done
    };

    std::string nextAfterAcknowledge();
    std::string sendRecord();
    std::string finish(std::string_view word);

    TerminalOptions options_;
    Phase phase_ = Phase::Idle;
    std::size_t current_ = 0;  // index of the record being sent
    int sendsOfCurrent_ = 0;
    int acknowledged_ = 0;
    std::optional<std::string> finalWord_;
};

}  // namespace karune::modemsim
