#pragma once

#include "link/Clock.h"
#include "link/SerialPort.h"
#include "platform/NetworkLines.h"

namespace karune {

// Opens COM<n> as the device named by portDevicePath() and the environment ("\\.\COM<n>" unless
// KARUNE_COM<n> names another): 38400 baud, 8N1, binary, no flow control, DTR on, not shared with
// any other opener, pending input discarded; or the line over TCP that KARUNE_COM<n> names
// (openNetworkLine), which tells `log` of the connections it refuses. The line's deadlines are
// read on `clock`, which must outlive every opened line.
class WindowsSerialPorts : public SerialPorts {
public:
    explicit WindowsSerialPorts(const Clock& clock, ConnectionLog log = standardErrorLog());

    [[nodiscard]] PortOpenResult open(int portNumber) override;

private:
    const Clock& clock_;
    ConnectionLog log_;
    Listeners listeners_;
};

}  // namespace karune
