#pragma once

#include <string_view>

namespace karune {

// How much a line of the program's log matters, as syslog and the Windows event log rank lines.
enum class Severity { Error, Warning, Notice, Info };

// Where the program without a window writes its lines: standard output or error, a service's log
// file, the Windows event log.
//
// Contract: write() takes one line without its line end, may be called from any thread, returns
// at once and never fails (a sink that cannot write drops the line).
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void write(Severity severity, std::string_view line) = 0;
};

}  // namespace karune
