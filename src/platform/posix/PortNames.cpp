#include "platform/PortNames.h"

#include <cstdlib>

namespace karune {

std::optional<std::string> portOverride(int portNumber) {
    const char* value = std::getenv(portEnvironmentName(portNumber).c_str());
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    return std::string(value);
}

std::string systemPortDevice(int portNumber) {
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}

std::string deviceNamed(const std::string& name) {
    return name;
}

}  // namespace karune
