#include "platform/PortNames.h"

namespace karune {

// The device namespace reaches COM10 and above too, where a plain "COM10" would not.
std::string systemPortDevice(int portNumber) {
    return "\\\\.\\COM" + std::to_string(portNumber);
}

}  // namespace karune
