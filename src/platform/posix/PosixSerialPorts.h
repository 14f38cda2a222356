#pragma once

#include <memory>

#include "link/Clock.h"
#include "link/SerialPort.h"

namespace karune {

// Opens COM<n> as the tty named by portDevicePath() and the environment: 38400 baud, 8N1, raw, no
// flow control, DTR asserted, exclusive (TIOCEXCL and an advisory lock that dies with the process),
// pending input discarded. The line's deadlines are read on `clock`, which must outlive every
// opened line.
class PosixSerialPorts : public SerialPorts {
public:
    explicit PosixSerialPorts(const Clock& clock);

    [[nodiscard]] PortOpenResult open(int portNumber) override;

private:
    const Clock& clock_;
};

}  // namespace karune
