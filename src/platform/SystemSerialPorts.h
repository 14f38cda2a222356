#pragma once

// The serial ports of the system the program is built for, constructed from the clock that times
// their lines' deadlines.
#ifdef _WIN32
#include "platform/windows/WindowsSerialPorts.h"
namespace karune {
using SystemSerialPorts = WindowsSerialPorts;
}
#else
#include "platform/posix/PosixSerialPorts.h"
namespace karune {
using SystemSerialPorts = PosixSerialPorts;
}
#endif
