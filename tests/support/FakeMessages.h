#pragma once

#include <vector>

#include "config/OperatorMessages.h"

namespace karune::test {

// Records the operator messages instead of showing them.
class FakeMessages : public OperatorMessages {
public:
    void show(const OperatorMessage& message) override { shown_.push_back(message); }
    const std::vector<OperatorMessage>& shown() const { return shown_; }
    void clear() { shown_.clear(); }

private:
    std::vector<OperatorMessage> shown_;
};

}  // namespace karune::test
