#pragma once

#include <mutex>
#include <ostream>
#include <string>

#include "config/OperatorMessages.h"

namespace karune {

// Operator messages as one line each on a stream (standard error), "title: text", with the line
// breaks of the text turned into spaces. Never waits for anybody.
class ConsoleMessages : public OperatorMessages {
public:
    // `defaultTitle` stands in for an empty title.
    ConsoleMessages(std::ostream& err, std::string defaultTitle)
        : err_(err), defaultTitle_(std::move(defaultTitle)) {}

    void show(const OperatorMessage& message) override;

private:
    std::mutex mutex_;
    std::ostream& err_;
    std::string defaultTitle_;
};

}  // namespace karune
