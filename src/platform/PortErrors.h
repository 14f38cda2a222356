#pragma once

#include <string>
#include <string_view>

namespace karune {

// The operator's text for a serial port that could not be opened, from the system's error number
// of the failed step (open, lock, or setting up the line) and the device path. UTF-8.
std::string portOpenErrorText(int error, std::string_view devicePath);

// The operator's text for a port number that names no port.
std::string portNumberErrorText(int portNumber);

// What went wrong, as the operator needs to know it; each system sorts its own error numbers.
enum class PortFault { NoDevice, NotResponding, NoPermission, InUse, NotSerial, Other };
PortFault classifyPortError(int error);

// The system's own description of an error number, UTF-8.
std::string systemErrorReason(int error);

}  // namespace karune
