#include "platform/PortNames.h"

namespace karune {

std::string portEnvironmentName(int portNumber) {
    return "KARUNE_COM" + std::to_string(portNumber);
}

std::optional<std::string> portDevicePath(int portNumber, const char* override) {
    if (portNumber < kFirstPort || portNumber > kLastPort)
        return std::nullopt;
    if (override != nullptr && *override != '\0')
        return deviceNamed(override);
    return systemPortDevice(portNumber);
}

}  // namespace karune
