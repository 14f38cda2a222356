#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "linesim/SimulatedLine.h"

namespace karune::test {

// A handheld terminal that uploads without fault in the framed protocol: it answers "TW" with
// "OK", "VOL" with the file-name frame, and each "ACK" with the next record frame (sequence
// characters "0" to "9" cycling) and finally "END". Plug it in as ScriptedModem::terminal.
class UploadingTerminal {
public:
    static constexpr Clock::Duration kReplyDelay = std::chrono::milliseconds(50);

    // `name` and the records are CP932; `crcType` as in the settings.
    UploadingTerminal(std::string name, std::vector<std::string> records, int crcType = 0);

    void operator()(const std::string& line, sim::SimulatedLine& wire);

    // "^" sequence payload "*" and the checksum of the variant.
    static std::string frame(char sequence, const std::string& payload, int crcType);

private:
    std::string name_;
    std::vector<std::string> records_;
    int crcType_;
    std::size_t next_ = 0;
    bool ended_ = false;
};

}  // namespace karune::test
