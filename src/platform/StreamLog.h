#pragma once

#include <mutex>
#include <ostream>

#include "platform/LogSink.h"

namespace karune {

// Lines on a stream (standard output or error). With journal priorities each line starts with its
// syslog priority, "<3>" for an error, "<4>" for a warning and "<5>" for a notice, as systemd's
// journal reads a service's output; other lines carry none and the journal files them as info.
class StreamLog : public LogSink {
public:
    explicit StreamLog(std::ostream& out, bool journalPriorities = false)
        : out_(out), journalPriorities_(journalPriorities) {}

    void write(Severity severity, std::string_view line) override;

private:
    std::mutex mutex_;
    std::ostream& out_;
    bool journalPriorities_;
};

}  // namespace karune
