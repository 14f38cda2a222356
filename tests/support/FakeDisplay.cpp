#include "support/FakeDisplay.h"

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

}  // namespace karune::test
