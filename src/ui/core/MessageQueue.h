#pragma once

#include <cstddef>
#include <deque>
#include <functional>

#include "config/OperatorMessages.h"

namespace karune::ui {

// The operator's messages shown one box at a time. A message that arrives while a box is open
// (a modal box runs the window's events, so a message posted from the session arrives inside it)
// waits; once the box is answered the waiting messages follow, those of the same title and icon
// together in one box, up to kMessagesPerBox of them. A weekend of failures is then a few boxes
// to read in their order, not a stack to dismiss newest first.
//
// Contract: used on the window's thread only.
class MessageQueue {
public:
    static constexpr std::size_t kMessagesPerBox = 10;
    static constexpr const char* kBetweenMessages = "\r\n\r\n";

    // Shows one box and returns once it is answered.
    using Present = std::function<void(const OperatorMessage&)>;
    explicit MessageQueue(Present present) : present_(std::move(present)) {}

    // Returns once the message has been answered, or at once while a box is open (the message
    // then follows it).
    void show(const OperatorMessage& message);

private:
    Present present_;
    std::deque<OperatorMessage> waiting_;
    bool showing_ = false;
};

}  // namespace karune::ui
