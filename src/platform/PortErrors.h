#pragma once

#include <string>
#include <string_view>

namespace karune {

// The operator's text for a serial port that could not be opened, from the errno of the failed
// step (open, lock, or setting up the line) and the device path. UTF-8.
std::string portOpenErrorText(int error, std::string_view devicePath);

// The operator's text for a port number that names no port.
std::string portNumberErrorText(int portNumber);

}  // namespace karune
