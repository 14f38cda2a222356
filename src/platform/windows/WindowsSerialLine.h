#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "link/Clock.h"
#include "link/SerialLine.h"

namespace karune {

// An open COM port as a SerialLine. Takes ownership of the handle; restores `originalState` and
// `originalTimeouts` on it and closes it when destroyed. On a handle opened for overlapped I/O the
// modem's ready line is watched (WaitCommEvent with EV_DSR) beside every read, where the port
// reports it; a synchronous handle cannot wait for both, and reports no ready line.
class WindowsSerialLine : public SerialLine {
public:
    // `devicePath` names the device in the text of a lost line.
    WindowsSerialLine(HANDLE port, bool overlapped, const DCB& originalState,
                      const COMMTIMEOUTS& originalTimeouts, const Clock& clock,
                      std::string devicePath);
    ~WindowsSerialLine() override;
    WindowsSerialLine(const WindowsSerialLine&) = delete;
    WindowsSerialLine& operator=(const WindowsSerialLine&) = delete;

    std::string readUntil(Clock::TimePoint deadline) override;
    [[nodiscard]] bool write(std::string_view bytes) override;
    std::string lostReason() const override;
    std::optional<bool> modemReady() const override { return ready_; }

private:
    // One read that waits at most until `deadline`, or until the ready line changes; false when
    // the port failed.
    bool readOnce(Clock::TimePoint deadline, std::string& out);
    // Appends what is waiting without waiting.
    void drainInto(std::string& out);
    // Ends an I/O call just started: at once on a synchronous handle, where `count` is what the
    // call returned, else when it completes. `pending` is the call's ERROR_IO_PENDING. False
    // (GetLastError() tells why) when it failed.
    bool finish(BOOL started, bool pending, OVERLAPPED& io, DWORD& count);
    bool setTimeouts(DWORD interval, DWORD constant);
    // Starts the wait for the next change of the ready line; one that cannot start ends the
    // watching.
    void awaitReadyChange();
    // True, with ready_ read again and the next wait started, when the ready line has changed
    // since the last call.
    bool takeReadyChange();
    // Moves on the time at which the bytes handed to the driver can have left the transmitter.
    void noteHandedOver(DWORD bytes);
    // Waits, bounded, until the transmitter is empty.
    void letOutputLeave();

    HANDLE port_;
    bool overlapped_;
    DCB originalState_;
    COMMTIMEOUTS originalTimeouts_;
    const Clock& clock_;
    std::string devicePath_;
    bool gone_ = false;
    std::chrono::steady_clock::time_point transmitterEmpty_;
    // Overlapped only: the events of reads and writes, and the pending wait for the ready line.
    HANDLE readDone_ = nullptr;
    HANDLE writeDone_ = nullptr;
    OVERLAPPED readyWait_{};
    DWORD readyEvents_ = 0;
    bool readyWaitPending_ = false;
    std::optional<bool> ready_;
};

}  // namespace karune
