#pragma once

#include <vector>

#include "config/OperatorMessages.h"

namespace karune {

// Keeps every message in the order shown.
class RecordingMessages : public OperatorMessages {
public:
    void show(const OperatorMessage& message) override { shown.push_back(message); }
    std::vector<OperatorMessage> shown;
};

}  // namespace karune
