#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "session/Display.h"

namespace karune::test {

// A Display that records every call in order (nothing when `keep` is false, so that a long run
// does not grow). onStatus runs after a status text arrives, so a test can act at the moment a
// text appears (press stop when the call wait begins).
class FakeDisplay : public Display {
public:
    struct Call {
        std::string kind;  // "status", "error", "file", "start", "stop", "progress", "busy",
                           // "buttons", "beep"
        std::string text;  // the text, or the values: "max value visible|hidden", "1", "0"
        bool operator==(const Call&) const = default;
    };

    void setStatusText(const std::string& text) override {
        record({"status", text});
        if (onStatus)
            onStatus(text);
    }
    void setErrorText(const std::string& text) override { record({"error", text}); }
    void setFileText(const std::string& text) override { record({"file", text}); }
    void setStartText(const std::string& text) override { record({"start", text}); }
    void setStopText(const std::string& text) override { record({"stop", text}); }
    void setProgress(int maximum, int value, bool visible) override {
        record({"progress", std::to_string(maximum) + " " + std::to_string(value) +
                                (visible ? " visible" : " hidden")});
    }
    void setBusy(bool busy) override { record({"busy", busy ? "1" : "0"}); }
    void setCommButtons(int mode) override { record({"buttons", std::to_string(mode)}); }
    void beep() override { record({"beep", ""}); }

    // Every text written to one kind of label, in order.
    std::vector<std::string> texts(const std::string& kind) const {
        std::vector<std::string> out;
        for (const Call& c : calls) {
            if (c.kind == kind)
                out.push_back(c.text);
        }
        return out;
    }
    std::string last(const std::string& kind) const {
        const std::vector<std::string> all = texts(kind);
        return all.empty() ? std::string() : all.back();
    }
    int count(const std::string& kind) const { return static_cast<int>(texts(kind).size()); }

    std::vector<Call> calls;
    std::function<void(const std::string&)> onStatus;
    bool keep = true;

private:
    void record(Call call) {
        if (keep)
            calls.push_back(std::move(call));
    }
};

}  // namespace karune::test
