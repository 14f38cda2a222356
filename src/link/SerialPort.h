#pragma once

#include <memory>
#include <string>

#include "link/SerialLine.h"

namespace karune {

struct PortOpenResult {
    std::unique_ptr<SerialLine> line;  // null when the port could not be opened
    std::string error;                 // UTF-8 text for the operator when `line` is null
};

// Opens the serial port COM<n> with the line settings of the modem (38400 baud, 8N1, raw, no
// flow control). Closing is destroying the returned line.
class SerialPorts {
public:
    virtual ~SerialPorts() = default;
    [[nodiscard]] virtual PortOpenResult open(int portNumber) = 0;
};

}  // namespace karune
