#pragma once

#include <windows.h>

#include "config/OperatorMessages.h"
#include "ui/core/MessageQueue.h"
#include "ui/win32/PostedCalls.h"

namespace karune::ui {

// A modal message box over `owner` (may be null) with an OK button: the message's title or the
// program's, and the critical icon when the message asks for it. Returns once answered.
void showMessageBox(HWND owner, const OperatorMessage& message);

// The operator's messages as message boxes over the active window of the program, one at a time
// (see MessageQueue). Made on the window's thread: a message raised there is shown at once and
// show() returns once it is answered; a message raised on any other thread (the session's) is
// posted to the window's thread and show() returns at once, so the session never waits for the
// operator.
class MessageBoxMessages : public OperatorMessages {
public:
    explicit MessageBoxMessages(PostedCalls& calls);
    void show(const OperatorMessage& message) override;

private:
    PostedCalls& calls_;
    DWORD windowThread_;
    MessageQueue queue_;
};

}  // namespace karune::ui
