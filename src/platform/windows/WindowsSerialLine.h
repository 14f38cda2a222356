#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "link/Clock.h"
#include "link/SerialLine.h"

namespace karune {

// An open COM port as a SerialLine. Takes ownership of the handle (opened for synchronous I/O);
// restores `originalState` and `originalTimeouts` on it and closes it when destroyed.
class WindowsSerialLine : public SerialLine {
public:
    WindowsSerialLine(HANDLE port, const DCB& originalState, const COMMTIMEOUTS& originalTimeouts,
                      const Clock& clock);
    ~WindowsSerialLine() override;
    WindowsSerialLine(const WindowsSerialLine&) = delete;
    WindowsSerialLine& operator=(const WindowsSerialLine&) = delete;

    std::string readUntil(Clock::TimePoint deadline) override;
    [[nodiscard]] bool write(std::string_view bytes) override;

private:
    // One read that waits at most until `deadline`; false when the port failed.
    bool readOnce(Clock::TimePoint deadline, std::string& out);
    // Appends what is waiting without waiting.
    void drainInto(std::string& out);
    bool setTimeouts(DWORD interval, DWORD constant);
    void letOutputLeave();

    HANDLE port_;
    DCB originalState_;
    COMMTIMEOUTS originalTimeouts_;
    const Clock& clock_;
    bool gone_ = false;
};

}  // namespace karune
