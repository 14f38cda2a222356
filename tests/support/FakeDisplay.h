#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "session/Display.h"

namespace karune::test {

// A Display that records every call in order. Safe to read from another thread than the
// session's. Hooks run on the session thread after the call is recorded, so a test can act at the
// moment a text appears (press stop when the call wait begins, for instance).
class FakeDisplay : public Display {
public:
    struct Call {
        std::string kind;  // "status", "error", "file", "start", "stop", "progress", "busy",
                           // "buttons", "beep"
        std::string text;  // the text, or the values: "max value visible|hidden", "1", "0"

        bool operator==(const Call&) const = default;
    };

    void setStatusText(const std::string& text) override;
    void setErrorText(const std::string& text) override;
    void setFileText(const std::string& text) override;
    void setStartText(const std::string& text) override;
    void setStopText(const std::string& text) override;
    void setProgress(int maximum, int value, bool visible) override;
    void setBusy(bool busy) override;
    void setCommButtons(int mode) override;
    void beep() override;

    std::vector<Call> calls() const;
    // Every text written to one kind of label, in order.
    std::vector<std::string> texts(const std::string& kind) const;
    // The last text of that kind ("" when none).
    std::string last(const std::string& kind) const;
    int count(const std::string& kind) const;

    // Called with each new status text.
    std::function<void(const std::string&)> onStatus;

private:
    void record(std::string kind, std::string text,
                const std::function<void(const std::string&)>* hook = nullptr);

    mutable std::mutex mutex_;
    std::vector<Call> calls_;
};

}  // namespace karune::test
