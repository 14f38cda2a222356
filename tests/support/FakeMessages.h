#pragma once

#include <mutex>
#include <vector>

#include "config/OperatorMessages.h"

namespace karune::test {

// Records the operator messages instead of showing them.
class FakeMessages : public OperatorMessages {
public:
    void show(const OperatorMessage& message) override {
        std::lock_guard lock(mutex_);
        shown_.push_back(message);
    }

    std::vector<OperatorMessage> shown() const {
        std::lock_guard lock(mutex_);
        return shown_;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        shown_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<OperatorMessage> shown_;
};

}  // namespace karune::test
