#include "platform/HomeLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace karune {

// The folder itself carries the lock: no lock file to create, and none left behind.
// The lock goes with its holder's last descriptor: nothing to wait for.
HomeLock::HomeLock(const std::filesystem::path& folder, std::chrono::milliseconds /*patience*/) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error_ = std::generic_category().message(errno);
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        outcome_ = error == EWOULDBLOCK ? Outcome::HeldByAnother : Outcome::Failed;
        error_ = std::generic_category().message(error);
        return;
    }
    handle_ = fd;
    outcome_ = Outcome::Held;
}

HomeLock::~HomeLock() {
    if (handle_ >= 0)
        ::close(static_cast<int>(handle_));
}

}  // namespace karune
