#include "platform/windows/EventLog.h"

#include <filesystem>
#include <string>

#include "EventMessages.h"
#include "config/Utf8Path.h"

namespace karune {

std::optional<EventKind> eventFor(Severity severity) {
    switch (severity) {
        case Severity::Error:
            return EventKind{EVENTLOG_ERROR_TYPE, KARUNE_EVENT_ERROR};
        case Severity::Warning:
            return EventKind{EVENTLOG_WARNING_TYPE, KARUNE_EVENT_WARNING};
        case Severity::Notice:
            return EventKind{EVENTLOG_INFORMATION_TYPE, KARUNE_EVENT_NOTICE};
        case Severity::Info:
            break;
    }
    return std::nullopt;
}

EventLog::EventLog() : source_(RegisterEventSourceW(nullptr, kEventSource)) {}

EventLog::~EventLog() {
    if (source_ != nullptr)
        DeregisterEventSource(source_);
}

void EventLog::write(Severity severity, std::string_view line) {
    const std::optional<EventKind> kind = eventFor(severity);
    if (source_ == nullptr || !kind)
        return;
    const std::wstring text = pathFromUtf8(std::string(line)).wstring();
    const wchar_t* strings[] = {text.c_str()};
    ReportEventW(source_, kind->type, 0, kind->id, nullptr, 1, 0, strings, nullptr);
}

}  // namespace karune
