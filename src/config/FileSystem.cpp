// What the file seam's adapters share.
#include "config/FileSystem.h"

#include <cerrno>
#include <system_error>

namespace karune {

int writeWhole(std::string_view bytes, const std::function<long(std::string_view)>& writeSome) {
    while (!bytes.empty()) {
        errno = 0;
        const long written = writeSome(bytes);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return errno != 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

std::string errorText(int errorNumber) {
    return std::generic_category().message(errorNumber);
}

}  // namespace karune
