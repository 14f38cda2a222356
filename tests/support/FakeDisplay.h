#pragma once

#include <functional>
#include <string>
#include <vector>

#include "session/Display.h"

namespace karune::test {

// A Display that records every call in order. onStatus runs after a status text is recorded, so
// a test can act at the moment a text appears (press stop when the call wait begins).
class FakeDisplay : public Display {
public:
    struct Call {
        std::string kind;  // "status", "error", "file", "start", "stop", "progress", "busy",
                           // "buttons", "beep"
        std::string text;  // the text, or the values: "max value visible|hidden", "1", "0"
        bool operator==(const Call&) const = default;
    };

    void setStatusText(const std::string& text) override {
        calls.push_back({"status", text});
        if (onStatus)
            onStatus(text);
    }
    void setErrorText(const std::string& text) override { calls.push_back({"error", text}); }
    void setFileText(const std::string& text) override { calls.push_back({"file", text}); }
    void setStartText(const std::string& text) override { calls.push_back({"start", text}); }
    void setStopText(const std::string& text) override { calls.push_back({"stop", text}); }
    void setProgress(int maximum, int value, bool visible) override {
        calls.push_back({"progress", std::to_string(maximum) + " " + std::to_string(value) +
                                         (visible ? " visible" : " hidden")});
    }
    void setBusy(bool busy) override { calls.push_back({"busy", busy ? "1" : "0"}); }
    void setCommButtons(int mode) override { calls.push_back({"buttons", std::to_string(mode)}); }
    void beep() override { calls.push_back({"beep", ""}); }

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
};

}  // namespace karune::test
