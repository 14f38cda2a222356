#include "platform/ConsoleDisplay.h"

namespace karune {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kLineSeparator = " / ";

std::string joinedLines(std::string_view text) {
    std::string out;
    for (std::size_t at = text.find(kCrLf); at != std::string_view::npos; at = text.find(kCrLf)) {
        out.append(text.substr(0, at)).append(kLineSeparator);
        text.remove_prefix(at + kCrLf.size());
    }
    out.append(text);
    return out;
}

}  // namespace

std::string consoleLine(std::string_view oldText, std::string_view newText) {
    if (newText.size() > oldText.size() && newText.starts_with(oldText)) {
        std::string_view added = newText.substr(oldText.size());
        if (!oldText.empty() && added.starts_with(kCrLf))
            added.remove_prefix(kCrLf.size());
        return joinedLines(added);
    }
    return joinedLines(newText);
}

void ConsoleDisplay::show(Label& label, const std::string& text) {
    const std::lock_guard lock(mutex_);
    // The call wait shows its text again before every read: a log line every two seconds would
    // bury everything else in a service's journal.
    if (text == label.text)
        return;
    const std::string line = consoleLine(label.text, text);
    label.text = text;
    if (line.empty())
        return;
    log_.write(label.severity, std::string(label.name) + ": " + line);
}

std::string ConsoleDisplay::errorText() {
    const std::lock_guard lock(mutex_);
    return joinedLines(error_.text);
}

void ConsoleDisplay::setStatusText(const std::string& text) {
    show(status_, text);
}
void ConsoleDisplay::setErrorText(const std::string& text) {
    show(error_, text);
}
void ConsoleDisplay::setFileText(const std::string& text) {
    show(file_, text);
}
void ConsoleDisplay::setStartText(const std::string& text) {
    show(start_, text);
}
void ConsoleDisplay::setStopText(const std::string& text) {
    show(stop_, text);
}

}  // namespace karune
