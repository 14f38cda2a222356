#include "support/FakeDisplay.h"

#include <algorithm>

namespace karune::test {

void FakeDisplay::record(std::string kind, std::string text,
                         const std::function<void(const std::string&)>* hook) {
    {
        std::lock_guard lock(mutex_);
        calls_.push_back({std::move(kind), text});
    }
    if (hook != nullptr && *hook)
        (*hook)(text);
}

void FakeDisplay::setStatusText(const std::string& text) {
    record("status", text, &onStatus);
}
void FakeDisplay::setErrorText(const std::string& text) {
    record("error", text);
}
void FakeDisplay::setFileText(const std::string& text) {
    record("file", text);
}
void FakeDisplay::setStartText(const std::string& text) {
    record("start", text);
}
void FakeDisplay::setStopText(const std::string& text) {
    record("stop", text);
}

void FakeDisplay::setProgress(int maximum, int value, bool visible) {
    record("progress", std::to_string(maximum) + " " + std::to_string(value) +
                           (visible ? " visible" : " hidden"));
}

void FakeDisplay::setBusy(bool busy) {
    record("busy", busy ? "1" : "0");
}
void FakeDisplay::setCommButtons(int mode) {
    record("buttons", std::to_string(mode));
}
void FakeDisplay::beep() {
    record("beep", "");
}

std::vector<FakeDisplay::Call> FakeDisplay::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<std::string> FakeDisplay::texts(const std::string& kind) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (const Call& c : calls_) {
        if (c.kind == kind)
            out.push_back(c.text);
    }
    return out;
}

std::string FakeDisplay::last(const std::string& kind) const {
    const std::vector<std::string> all = texts(kind);
    return all.empty() ? std::string() : all.back();
}

int FakeDisplay::count(const std::string& kind) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(
        std::count_if(calls_.begin(), calls_.end(), [&](const Call& c) { return c.kind == kind; }));
}

}  // namespace karune::test
