#include "TerminalFrames.h"

#include "link/Frame.h"

namespace karune::modemsim {

std::string recordFrame(char sequence, std::string_view payload, int crcType, bool corrupt) {
    std::string frame = "^";
    frame += sequence;
    frame.append(payload);
    frame += '*';
    std::string covered = crcType == 0 ? frame : frame.substr(2);
    if (corrupt)
        covered += '\x01';  // the sum, and so the checksum, is off by one
    return frame + FrameChecksum(covered);
}

std::string fileNameFrame(std::string_view name, int recordCount, int crcType) {
    std::string payload(name);
    payload += '@';
    payload += std::to_string(recordCount);
    return recordFrame('#', payload, crcType);
}

char sequenceCharacter(std::size_t index) {
    return static_cast<char>('0' + index % 10);
}

}  // namespace karune::modemsim
