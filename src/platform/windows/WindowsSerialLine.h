#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <string_view>

#include "link/Clock.h"
#include "link/SerialLine.h"

namespace karune {

// An open COM port as a SerialLine. Takes ownership of the handle (opened for synchronous I/O);
// restores `originalState` and `originalTimeouts` on it and closes it when destroyed.
class WindowsSerialLine : public SerialLine {
public:
    // `devicePath` names the device in the text of a lost line.
    WindowsSerialLine(HANDLE port, const DCB& originalState, const COMMTIMEOUTS& originalTimeouts,
                      const Clock& clock, std::string devicePath);
    ~WindowsSerialLine() override;
    WindowsSerialLine(const WindowsSerialLine&) = delete;
    WindowsSerialLine& operator=(const WindowsSerialLine&) = delete;

    std::string readUntil(Clock::TimePoint deadline) override;
    [[nodiscard]] bool write(std::string_view bytes) override;
    std::string lostReason() const override;

private:
    // One read that waits at most until `deadline`; false when the port failed.
    bool readOnce(Clock::TimePoint deadline, std::string& out);
    // Appends what is waiting without waiting.
    void drainInto(std::string& out);
    bool setTimeouts(DWORD interval, DWORD constant);
    // Moves on the time at which the bytes handed to the driver can have left the transmitter.
    void noteHandedOver(DWORD bytes);
    // Waits, bounded, until the transmitter is empty.
    void letOutputLeave();

    HANDLE port_;
    DCB originalState_;
    COMMTIMEOUTS originalTimeouts_;
    const Clock& clock_;
    std::string devicePath_;
    bool gone_ = false;
    std::chrono::steady_clock::time_point transmitterEmpty_;
};

}  // namespace karune
