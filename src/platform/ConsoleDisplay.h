#pragma once

#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

#include "session/Display.h"

namespace karune {

// The session's display as lines on a stream, for the program without a window:
//   status: <text>     error: <text>     file: <text>     start: <text>     stop: <text>
// A label that grows (a line appended by the session) prints only what was added, without the
// CR LF in front of it; any other new text prints whole, its CR LF pairs shown as " / ". An
// emptied label, or a text shown again unchanged, prints nothing. Progress, the busy pointer, the
// buttons and the beep print nothing: the status lines already carry the record counter and every
// error.
class ConsoleDisplay : public Display {
public:
    explicit ConsoleDisplay(std::ostream& out) : out_(out) {}

    void setStatusText(const std::string& text) override;
    void setErrorText(const std::string& text) override;
    void setFileText(const std::string& text) override;
    void setStartText(const std::string& text) override;
    void setStopText(const std::string& text) override;
    void setProgress(int, int, bool) override {}
    void setBusy(bool) override {}
    void setCommButtons(int) override {}
    void beep() override {}

private:
    struct Label {
        std::string_view name;
        std::string text;
    };
    void show(Label& label, const std::string& text);

    std::mutex mutex_;
    std::ostream& out_;
    Label status_{"status", {}};
    Label error_{"error", {}};
    Label file_{"file", {}};
    Label start_{"start", {}};
    Label stop_{"stop", {}};
};

// The part of a label's new text worth printing, as described above; empty when nothing is.
std::string consoleLine(std::string_view oldText, std::string_view newText);

}  // namespace karune
