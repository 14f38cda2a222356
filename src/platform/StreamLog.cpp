#include "platform/StreamLog.h"

#include <string>

namespace karune {
namespace {

std::string_view journalPriority(Severity severity) {
    switch (severity) {
        case Severity::Error:
            return "<3>";
        case Severity::Warning:
            return "<4>";
        case Severity::Notice:
            return "<5>";
        case Severity::Info:
            break;
    }
    return {};
}

}  // namespace

// One write a line: standard error writes each insertion at once, and a line of standard output
// must not fall between a priority and its line in the journal's stream.
void StreamLog::write(Severity severity, std::string_view line) {
    std::string text(journalPriorities_ ? journalPriority(severity) : std::string_view());
    text.append(line).push_back('\n');
    const std::lock_guard lock(mutex_);
    out_ << text << std::flush;
}

}  // namespace karune
