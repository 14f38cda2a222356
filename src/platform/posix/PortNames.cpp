#include "platform/PortNames.h"

namespace karune {

std::string systemPortDevice(int portNumber) {
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}

std::string deviceNamed(const std::string& name) {
    return name;
}

}  // namespace karune
