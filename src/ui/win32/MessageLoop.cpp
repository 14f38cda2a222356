#include "ui/win32/MessageLoop.h"

#include <windows.h>

#include "ui/win32/TopLevelWindow.h"

namespace karune::ui {

int runMessageLoop() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        const HWND window = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (window != nullptr && TopLevelWindow::isProgramWindow(window) &&
            IsDialogMessageW(window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace karune::ui
