#include "platform/PortErrors.h"

#include <cerrno>
#include <system_error>

namespace karune {

PortFault classifyPortError(int error) {
    switch (error) {
        case ENOENT:
            return PortFault::NoDevice;
        case ENODEV:
        case ENXIO:
        case EIO:
            return PortFault::NotResponding;
        case EACCES:
        case EPERM:
        case EROFS:
            return PortFault::NoPermission;
        case EBUSY:
        case EAGAIN:
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK:
#endif
            return PortFault::InUse;
        case ENOTTY:
        case EISDIR:
        case ENOTDIR:
            return PortFault::NotSerial;
        default:
            return PortFault::Other;
    }
}

std::string systemErrorReason(int error) {
    return std::generic_category().message(error);
}

}  // namespace karune
