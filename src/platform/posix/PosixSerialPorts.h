#pragma once

#include <memory>

#include "link/Clock.h"
#include "link/SerialPort.h"
#include "platform/NetworkLines.h"

namespace karune {

// Opens COM<n> as the tty named by portDevicePath() and the environment: 38400 baud, 8N1, raw, no
// flow control, DTR asserted, exclusive (TIOCEXCL and an advisory lock that dies with the process),
// pending input discarded; or the line over TCP that KARUNE_COM<n> names (openNetworkLine), which
// tells `log` of the connections it refuses. The line's deadlines are read on `clock`, which must
// outlive every opened line.
class PosixSerialPorts : public SerialPorts {
public:
    explicit PosixSerialPorts(const Clock& clock, ConnectionLog log = standardErrorLog());

    [[nodiscard]] PortOpenResult open(int portNumber) override;

private:
    const Clock& clock_;
    ConnectionLog log_;
    Listeners listeners_;
};

}  // namespace karune
