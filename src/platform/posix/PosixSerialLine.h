#pragma once

#include <string>
#include <string_view>

#include <termios.h>

#include "link/Clock.h"
#include "link/SerialLine.h"

namespace karune {

// An open tty (a serial port or a pseudo-terminal) as a SerialLine. Takes ownership of the
// descriptor, which must be non-blocking; restores `original` on it and closes it when destroyed.
class PosixSerialLine : public SerialLine {
public:
    PosixSerialLine(int fd, const termios& original, const Clock& clock);
    ~PosixSerialLine() override;
    PosixSerialLine(const PosixSerialLine&) = delete;
    PosixSerialLine& operator=(const PosixSerialLine&) = delete;

    std::string readUntil(Clock::TimePoint deadline) override;
    [[nodiscard]] bool write(std::string_view bytes) override;

    // The device has hung up or vanished; from now on the line reads as silence.
    bool gone() const { return gone_; }

private:
    enum class Drain { Data, Nothing, Gone };
    Drain drainInto(std::string& out);
    // Waits for the port; false when the deadline passed. A gone port is waited out in sleep.
    bool waitReadable(Clock::TimePoint deadline);
    bool waitWritable();
    void letOutputLeave();

    int fd_;
    termios original_;
    const Clock& clock_;
    bool gone_ = false;
};

}  // namespace karune
