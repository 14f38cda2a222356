#pragma once

#include <string>

namespace karune {

enum class MessageIcon { None, Critical };

// A message for the operator: a message box in the window, a line on standard error when the
// program runs headless.
struct OperatorMessage {
    std::string title;  // empty: the program's default title
    std::string text;   // UTF-8; lines separated by CR LF
    MessageIcon icon = MessageIcon::None;
};

// Contract: show() may be called from any thread. Called on the start-up path (before the window
// exists) it returns once the operator has acknowledged the message; called from the session
// thread it returns at once and the message waits for the operator, so a call is never held up.
class OperatorMessages {
public:
    virtual ~OperatorMessages() = default;
    virtual void show(const OperatorMessage& message) = 0;
};

}  // namespace karune
