#include "platform/PortNames.h"

namespace karune {

std::string portEnvironmentName(int portNumber) {
    return "KARUNE_COM" + std::to_string(portNumber);
}

std::string portMappingLabel(int portNumber) {
    const std::optional<std::string> mapping = portOverride(portNumber);
    if (!mapping)
        return {};
    return "COM" + std::to_string(portNumber) + " = " + mapping->substr(0, mapping->find('?'));
}

std::optional<std::string> portDevicePath(int portNumber, const char* override) {
    if (portNumber < kFirstPort || portNumber > kLastPort)
        return std::nullopt;
    if (override != nullptr && *override != '\0')
        return deviceNamed(override);
    return systemPortDevice(portNumber);
}

}  // namespace karune
