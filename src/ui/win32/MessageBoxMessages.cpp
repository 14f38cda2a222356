#include "ui/win32/MessageBoxMessages.h"

#include "ui/core/ProgramInfo.h"
#include "ui/win32/WideText.h"

namespace karune::ui {

void showMessageBox(HWND owner, const OperatorMessage& message) {
    const std::string& title = message.title.empty() ? std::string(kProgramTitle) : message.title;
    const UINT icon = message.icon == MessageIcon::Critical ? MB_ICONERROR : 0;
    MessageBoxW(owner, widen(message.text).c_str(), widen(title).c_str(), MB_OK | icon);
}

MessageBoxMessages::MessageBoxMessages(PostedCalls& calls)
    : calls_(calls),
      windowThread_(GetCurrentThreadId()),
      queue_([](const OperatorMessage& message) { showMessageBox(GetActiveWindow(), message); }) {}

void MessageBoxMessages::show(const OperatorMessage& message) {
    if (GetCurrentThreadId() == windowThread_) {
        queue_.show(message);
        return;
    }
    calls_.post([this, message] { queue_.show(message); });
}

}  // namespace karune::ui
