#include "platform/windows/WindowsSerialLine.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

#include "platform/PortErrors.h"
#include "platform/windows/ModemLineState.h"

namespace karune {
namespace {

using std::chrono::milliseconds;

// One byte of 8N1 at 38400 baud: ten bits.
constexpr std::chrono::microseconds kByteTime{260};
// What a closing line waits at most for its last bytes (the hang-up command) to leave.
constexpr milliseconds kCloseDrainLimit{1000};
// Beyond the bytes' own time: the last byte's way out of the UART or a USB adapter's buffer.
constexpr milliseconds kTransmitterSlack{20};
// A read returns at most this much, so a babbling line still lets the caller look at the clock.
constexpr std::size_t kMaxChunk = 64 * 1024;
// A read returns this long after the last byte of a burst. With an interval and a total time-out
// a read returns as soon as bytes have come (Wine too); "MAXDWORD, MAXDWORD, T" would wait the
// whole T under Wine.
constexpr DWORD kIntervalMs = 20;

DWORD remainingMs(Clock::Duration remaining) {
    const auto ms = std::chrono::ceil<milliseconds>(remaining).count();
    return static_cast<DWORD>(std::clamp<decltype(ms)>(ms, 1, MAXDWORD - 1));
}

}  // namespace

WindowsSerialLine::WindowsSerialLine(HANDLE port, bool overlapped, const DCB& originalState,
                                     const COMMTIMEOUTS& originalTimeouts, const Clock& clock,
                                     std::string devicePath)
    : port_(port),
      overlapped_(overlapped),
      originalState_(originalState),
      originalTimeouts_(originalTimeouts),
      clock_(clock),
      devicePath_(std::move(devicePath)) {
    if (!overlapped_)
        return;
    readDone_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    writeDone_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    readyWait_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // A port without modem lines (a virtual one, a pseudo-terminal under Wine) fails these.
    DWORD status = 0;
    if (readyWait_.hEvent != nullptr && GetCommModemStatus(port_, &status) &&
        SetCommMask(port_, EV_DSR)) {
        ready_ = (status & MS_DSR_ON) != 0;
        awaitReadyChange();
    }
}

std::string WindowsSerialLine::lostReason() const {
    // A pulled adapter fails with whatever its driver chooses (access denied, a bad command), none
    // of which tells the operator more than that the device is gone.
    return gone_ ? portOpenErrorText(ERROR_DEVICE_NOT_CONNECTED, devicePath_) : std::string();
}

WindowsSerialLine::~WindowsSerialLine() {
    if (!gone_)
        letOutputLeave();
    if (readyWaitPending_) {
        // An empty mask completes the pending wait (a gone device's driver may need the
        // cancel), which must end before its OVERLAPPED goes.
        SetCommMask(port_, 0);
        CancelIoEx(port_, &readyWait_);
        DWORD unused = 0;
        GetOverlappedResult(port_, &readyWait_, &unused, TRUE);
    }
    SetCommState(port_, &originalState_);
    SetCommTimeouts(port_, &originalTimeouts_);
    CloseHandle(port_);
    for (HANDLE event : {readDone_, writeDone_, readyWait_.hEvent}) {
        if (event != nullptr)
            CloseHandle(event);
    }
}

std::string WindowsSerialLine::readUntil(Clock::TimePoint deadline) {
    std::string out;
    for (;;) {
        if (takeReadyChange()) {
            drainInto(out);
            return out;
        }
        const Clock::TimePoint now = clock_.now();
        if (now >= deadline)
            return out;
        if (gone_) {
            // Nothing left to wait on: keep the promise of not returning early, without spinning.
            std::this_thread::sleep_until(std::chrono::steady_clock::now() + (deadline - now));
            return out;
        }
        if (!readOnce(deadline, out)) {
            gone_ = true;
            continue;
        }
        if (!out.empty()) {
            drainInto(out);
            return out;
        }
    }
}

bool WindowsSerialLine::readOnce(Clock::TimePoint deadline, std::string& out) {
    // A port whose device went away (a USB adapter pulled; under Wine, the other end of a
    // pseudo-terminal closed) fails this, while a read of it may still report success after
    // spinning through its whole time-out.
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(port_, &errors, &status))
        return false;
    if (!setTimeouts(kIntervalMs, remainingMs(deadline - clock_.now())))
        return false;
    char buffer[4096];
    DWORD got = 0;
    OVERLAPPED io{};
    io.hEvent = readDone_;
    const BOOL started = ReadFile(port_, buffer, sizeof buffer, overlapped_ ? nullptr : &got,
                                  overlapped_ ? &io : nullptr);
    const bool pending = !started && GetLastError() == ERROR_IO_PENDING;
    bool cancelled = false;
    if (pending && readyWaitPending_) {
        // The read's time-outs end it; a change of the ready line ends it sooner, with what it has.
        const HANDLE waits[] = {readDone_, readyWait_.hEvent};
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1)
            cancelled = CancelIoEx(port_, &io) != 0;
    }
    if (!finish(started, pending, io, got) &&
        !(cancelled && GetLastError() == ERROR_OPERATION_ABORTED))
        return false;
    out.append(buffer, got);
    return true;
}

bool WindowsSerialLine::finish(BOOL started, bool pending, OVERLAPPED& io, DWORD& count) {
    if (!overlapped_ || (!started && !pending))
        return started != 0;
    return GetOverlappedResult(port_, &io, &count, TRUE) != 0;
}

void WindowsSerialLine::awaitReadyChange() {
    readyEvents_ = 0;
    // One that completes at once signals its event like one that completes later.
    readyWaitPending_ =
        WaitCommEvent(port_, &readyEvents_, &readyWait_) || GetLastError() == ERROR_IO_PENDING;
    if (!readyWaitPending_)
        ready_.reset();
}

bool WindowsSerialLine::takeReadyChange() {
    if (!readyWaitPending_ || WaitForSingleObject(readyWait_.hEvent, 0) != WAIT_OBJECT_0)
        return false;
    readyWaitPending_ = false;
    DWORD unused = 0;
    DWORD status = 0;
    if (GetOverlappedResult(port_, &readyWait_, &unused, FALSE) &&
        GetCommModemStatus(port_, &status)) {
        ready_ = (status & MS_DSR_ON) != 0;
        awaitReadyChange();
    } else {
        ready_.reset();  // the port stopped telling
    }
    return true;
}

void WindowsSerialLine::drainInto(std::string& out) {
    if (!setTimeouts(MAXDWORD, 0))
        return;
    char buffer[4096];
    while (out.size() < kMaxChunk) {
        DWORD got = 0;
        OVERLAPPED io{};
        io.hEvent = readDone_;
        const BOOL started = ReadFile(port_, buffer, sizeof buffer, overlapped_ ? nullptr : &got,
                                      overlapped_ ? &io : nullptr);
        if (!finish(started, !started && GetLastError() == ERROR_IO_PENDING, io, got) || got == 0)
            return;
        out.append(buffer, got);
    }
}

bool WindowsSerialLine::setTimeouts(DWORD interval, DWORD constant) {
    // "MAXDWORD, 0, 0" reads what is waiting and returns at once.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = interval;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = constant;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = kWriteStallMs;
    return SetCommTimeouts(port_, &timeouts) != 0;
}

bool WindowsSerialLine::write(std::string_view bytes) {
    while (!bytes.empty()) {
        if (gone_)
            return false;
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 64 * 1024));
        OVERLAPPED io{};
        io.hEvent = writeDone_;
        const BOOL started = WriteFile(port_, bytes.data(), chunk, overlapped_ ? nullptr : &written,
                                       overlapped_ ? &io : nullptr);
        if (!finish(started, !started && GetLastError() == ERROR_IO_PENDING, io, written)) {
            const DWORD error = GetLastError();
            if (error != ERROR_OPERATION_ABORTED && error != ERROR_TIMEOUT)
                gone_ = true;
            return false;
        }
        if (written == 0)
            return false;  // the write time-out passed: a stuck line
        noteHandedOver(written);
        bytes.remove_prefix(written);
    }
    return true;
}

void WindowsSerialLine::noteHandedOver(DWORD bytes) {
    const auto now = std::chrono::steady_clock::now();
    transmitterEmpty_ = std::max(transmitterEmpty_, now) + kByteTime * bytes;
}

void WindowsSerialLine::letOutputLeave() {
    // Restoring the caller's line settings while the hang-up command is still leaving would send
    // its tail at another speed. A synchronous write returns once the driver holds the bytes, and
    // the queue count leaves out the UART's FIFO and a USB adapter's own buffer: wait until the
    // bytes handed over can have left at 38400 baud, or the queue's bytes, whichever is later,
    // bounded for a line nobody reads (FlushFileBuffers() could block for ever there).
    DWORD errors = 0;
    COMSTAT status{};
    std::chrono::steady_clock::time_point empty = transmitterEmpty_;
    if (ClearCommError(port_, &errors, &status))
        empty = std::max(empty, std::chrono::steady_clock::now() + kByteTime * status.cbOutQue);
    const auto limit = std::chrono::steady_clock::now() + kCloseDrainLimit;
    std::this_thread::sleep_until(std::min(empty + kTransmitterSlack, limit));
}

}  // namespace karune
