#include "platform/PortNames.h"

namespace karune {

// The device namespace reaches COM10 and above too, where a plain "COM10" would not.
std::string systemPortDevice(int portNumber) {
    return "\\\\.\\COM" + std::to_string(portNumber);
}

std::string deviceNamed(const std::string& name) {
    return name.starts_with("\\\\") ? name : "\\\\.\\" + name;
}

}  // namespace karune
