#include "platform/StreamLog.h"

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

void StreamLog::write(Severity severity, std::string_view line) {
    const std::lock_guard lock(mutex_);
    if (journalPriorities_)
        out_ << journalPriority(severity);
    out_ << line << '\n' << std::flush;
}

}  // namespace karune
