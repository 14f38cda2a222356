#pragma once

#include <windows.h>

#include <optional>

#include "platform/LogSink.h"

namespace karune {

// The event source the installer registers, with karune-modem.exe as its message file.
inline constexpr const wchar_t* kEventSource = L"KARUNE_MODEM";

// An event of the program's own: its type and the message of its table (EventMessages.mc).
struct EventKind {
    WORD type;
    DWORD id;
};

// Errors, warnings and notices become events; information lines stay in the log file.
std::optional<EventKind> eventFor(Severity severity);

// The Application event log under kEventSource, so that the usual monitoring tools see the
// program's start, end and failures. A source that is not registered still logs; the event viewer
// then shows the line without the message table's help.
class EventLog : public LogSink {
public:
    EventLog();
    ~EventLog() override;
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    void write(Severity severity, std::string_view line) override;

private:
    HANDLE source_;
};

}  // namespace karune
