#pragma once

#include "link/Clock.h"
#include "link/SerialPort.h"

namespace karune {

// Opens COM<n> as the device named by portDevicePath() and the environment ("\\.\COM<n>" unless
// KARUNE_COM<n> names another): 38400 baud, 8N1, binary, no flow control, DTR on, not shared with
// any other opener, pending input discarded. The line's deadlines are read on `clock`, which must
// outlive every opened line.
class WindowsSerialPorts : public SerialPorts {
public:
    explicit WindowsSerialPorts(const Clock& clock);

    [[nodiscard]] PortOpenResult open(int portNumber) override;

private:
    const Clock& clock_;
};

}  // namespace karune
