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

    void setStatusText(const std::string& text) override { record("status", text, &onStatus); }
    void setErrorText(const std::string& text) override { record("error", text); }
    void setFileText(const std::string& text) override { record("file", text); }
    void setStartText(const std::string& text) override { record("start", text); }
    void setStopText(const std::string& text) override { record("stop", text); }
    void setProgress(int maximum, int value, bool visible) override {
        record("progress", std::to_string(maximum) + " " + std::to_string(value) +
                               (visible ? " visible" : " hidden"));
    }
    void setBusy(bool busy) override { record("busy", busy ? "1" : "0"); }
    void setCommButtons(int mode) override { record("buttons", std::to_string(mode)); }
    void beep() override { record("beep", ""); }

    std::vector<Call> calls() const;
    // Every text written to one kind of label, in order.
    std::vector<std::string> texts(const std::string& kind) const;
    // The last text of that kind ("" when none).
    std::string last(const std::string& kind) const;
    int count(const std::string& kind) const { return static_cast<int>(texts(kind).size()); }

    // Called with each new status text.
    std::function<void(const std::string&)> onStatus;

private:
    void record(std::string kind, std::string text,
                const std::function<void(const std::string&)>* hook = nullptr);

    mutable std::mutex mutex_;
    std::vector<Call> calls_;
};

}  // namespace karune::test
