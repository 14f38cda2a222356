#pragma once

#include <string>

#include "config/OperatorMessages.h"
#include "platform/LogSink.h"

namespace karune {

// Operator messages as one line each of a log (standard error), "title: text", with the line
// breaks of the text turned into spaces: an error when the message box would show the error icon,
// else a warning. Never waits for anybody.
class ConsoleMessages : public OperatorMessages {
public:
    // `defaultTitle` stands in for an empty title.
    ConsoleMessages(LogSink& log, std::string defaultTitle)
        : log_(log), defaultTitle_(std::move(defaultTitle)) {}

    void show(const OperatorMessage& message) override;

private:
    LogSink& log_;
    std::string defaultTitle_;
};

}  // namespace karune
