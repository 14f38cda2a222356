#include "ui/core/MessageQueue.h"

#include <string>

namespace karune::ui {

void MessageQueue::show(const OperatorMessage& message) {
    waiting_.push_back(message);
    if (showing_)
        return;
    showing_ = true;
    while (!waiting_.empty()) {
        OperatorMessage box = std::move(waiting_.front());
        waiting_.pop_front();
        for (std::size_t joined = 1;
             joined < kMessagesPerBox && !waiting_.empty() && waiting_.front().title == box.title &&
             waiting_.front().icon == box.icon;
             ++joined) {
            box.text += kBetweenMessages + waiting_.front().text;
            waiting_.pop_front();
        }
        present_(box);
    }
    showing_ = false;
}

}  // namespace karune::ui
