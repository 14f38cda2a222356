#pragma once

#include <mutex>
#include <string>
#include <string_view>

#include "platform/LogSink.h"
#include "session/Display.h"

namespace karune {

// The session's display as lines of a log, for the program without a window:
//   status: <text>     error: <text>     file: <text>     start: <text>     stop: <text>
// Error lines are warnings (a failed call is the terminal's to repeat), the rest information.
// A label that grows (a line appended by the session) prints only what was added, without the
// CR LF in front of it; any other new text prints whole, its CR LF pairs shown as " / ". An
// emptied label, or a text shown again unchanged, prints nothing. Progress, the busy pointer, the
// buttons and the beep print nothing: the status lines already carry the record counter and every
// error.
class ConsoleDisplay : public Display {
public:
    explicit ConsoleDisplay(LogSink& log) : log_(log) {}

    void setStatusText(const std::string& text) override;
    void setErrorText(const std::string& text) override;
    void setFileText(const std::string& text) override;
    void setStartText(const std::string& text) override;
    void setStopText(const std::string& text) override;
    void setProgress(int, int, bool) override {}
    void setBusy(bool) override {}
    void setCommButtons(int) override {}
    void beep() override {}

    // The error label's text as one line, as it would print whole.
    std::string errorText();

private:
    struct Label {
        std::string_view name;
        Severity severity;
        std::string text;
    };
    void show(Label& label, const std::string& text);

    std::mutex mutex_;
    LogSink& log_;
    Label status_{"status", Severity::Info, {}};
    Label error_{"error", Severity::Warning, {}};
    Label file_{"file", Severity::Info, {}};
    Label start_{"start", Severity::Info, {}};
    Label stop_{"stop", Severity::Info, {}};
};

// The part of a label's new text worth printing, as described above; empty when nothing is.
std::string consoleLine(std::string_view oldText, std::string_view newText);

}  // namespace karune
