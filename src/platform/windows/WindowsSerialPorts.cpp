#include "platform/windows/WindowsSerialPorts.h"

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "config/Utf8Path.h"
#include "platform/PortErrors.h"
#include "platform/PortMapping.h"
#include "platform/PortNames.h"
#include "platform/windows/ModemLineState.h"
#include "platform/windows/WindowsSerialLine.h"

namespace karune {
namespace {

// Reads the port's state and time-outs into the originals and sets the modem's line; false, with
// GetLastError(), when the port refuses.
bool setUpModemLine(HANDLE port, DCB& original, COMMTIMEOUTS& originalTimeouts) {
    if (!GetCommState(port, &original) || !GetCommTimeouts(port, &originalTimeouts))
        return false;
    // Some drivers keep their own queue sizes; the request only has to succeed where it is heard.
    SetupComm(port, kPortQueueBytes, kPortQueueBytes);
    DCB state = modemLineState(original);
    COMMTIMEOUTS timeouts = modemLineTimeouts();
    return SetCommState(port, &state) && SetCommTimeouts(port, &timeouts);
}

}  // namespace

WindowsSerialPorts::WindowsSerialPorts(const Clock& clock, ConnectionLog log)
    : clock_(clock), log_(std::move(log)) {}

PortOpenResult WindowsSerialPorts::open(int portNumber) {
    const std::optional<std::string> mapping = portOverride(portNumber);
    if (mapping && isNetworkMapping(*mapping) && portNumber >= kFirstPort &&
        portNumber <= kLastPort)
        return openNetworkLine(*mapping, clock_, log_, listeners_);
    const std::optional<std::string> path =
        portDevicePath(portNumber, mapping ? mapping->c_str() : nullptr);
    if (!path)
        return {nullptr, portNumberErrorText(portNumber)};

    const std::filesystem::path device = pathFromUtf8(*path);
    // Overlapped where the port reports its modem lines, so that the wait for the ready line can
    // run beside a read; synchronously elsewhere: Wine's ports on pseudo-terminals report none, and
    // their overlapped reads ignore the time-outs.
    DWORD refusal = ERROR_SUCCESS;
    for (const bool overlapped : {true, false}) {
        // No sharing: a second opener, this program or another, is refused while the port is open.
        const HANDLE port =
            CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        overlapped ? FILE_FLAG_OVERLAPPED : FILE_ATTRIBUTE_NORMAL, nullptr);
        if (port == INVALID_HANDLE_VALUE)
            return {nullptr, portOpenErrorText(static_cast<int>(GetLastError()), *path)};
        DWORD modemLines = 0;
        if (overlapped && !GetCommModemStatus(port, &modemLines)) {
            CloseHandle(port);
            continue;
        }

        DCB original{};
        original.DCBlength = sizeof original;
        COMMTIMEOUTS originalTimeouts{};
        if (setUpModemLine(port, original, originalTimeouts)) {
            // A pseudo-terminal under Wine refuses the modem-line calls; only a real port can take
            // them, and the modem then simply sees what the port's defaults give it.
            EscapeCommFunction(port, SETDTR);
            PurgeComm(port, PURGE_RXCLEAR | PURGE_RXABORT);
            return {std::make_unique<WindowsSerialLine>(port, overlapped, original,
                                                        originalTimeouts, clock_, *path),
                    {}};
        }
        refusal = GetLastError();
        CloseHandle(port);
    }
    return {nullptr, portOpenErrorText(static_cast<int>(refusal), *path)};
}

}  // namespace karune
