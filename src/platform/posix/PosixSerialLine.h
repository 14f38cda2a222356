#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <termios.h>

#include <cerrno>

#include "link/Clock.h"
#include "link/SerialLine.h"
#include "platform/posix/ModemStatusWatch.h"

namespace karune {

// An open tty (a serial port or a pseudo-terminal) as a SerialLine. Takes ownership of the
// descriptor, which must be non-blocking; restores `original` on it and closes it when destroyed.
class PosixSerialLine : public SerialLine {
public:
    // `devicePath` names the device in the text of a lost line.
    PosixSerialLine(int fd, const termios& original, const Clock& clock, std::string devicePath);
    ~PosixSerialLine() override;
    PosixSerialLine(const PosixSerialLine&) = delete;
    PosixSerialLine& operator=(const PosixSerialLine&) = delete;

    std::string readUntil(Clock::TimePoint deadline) override;
    [[nodiscard]] bool write(std::string_view bytes) override;

    std::string lostReason() const override;
    std::optional<bool> modemReady() const override;

private:
    enum class Drain { Data, Nothing, Gone };
    Drain drainInto(std::string& out);
    // Waits for the port or a change of its ready line; false when the deadline passed. A gone
    // port is waited out in sleep.
    bool waitReadable(Clock::TimePoint deadline);
    bool waitWritable();
    void letOutputLeave();

    int fd_;
    termios original_;
    const Clock& clock_;
    std::string devicePath_;
    bool gone_ = false;
    int goneError_ = EIO;                          // what told the line was gone
    std::unique_ptr<ModemStatusWatch> readyLine_;  // null where the port reports none
};

}  // namespace karune
