#include "platform/windows/EndSessionWindow.h"

namespace karune {

EndSessionWindow::EndSessionWindow(std::function<bool()> callInProgress,
                                   std::function<void()> onEnd)
    : callInProgress_(std::move(callInProgress)), onEnd_(std::move(onEnd)) {
    HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, created] { run(created); });
    WaitForSingleObject(created, INFINITE);
    CloseHandle(created);
}

EndSessionWindow::~EndSessionWindow() {
    if (window_ != nullptr)
        PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
}

void EndSessionWindow::run(HANDLE created) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    // Not a message-only window: those hear nothing of the session's end.
    window_ = CreateWindowExW(0, kClassName, L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                              windowClass.hInstance, this);
    SetEvent(created);
    if (window_ == nullptr)
        return;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
}

LRESULT CALLBACK EndSessionWindow::procedure(HWND window, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<EndSessionWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_QUERYENDSESSION:
            if (self->callInProgress_())
                ShutdownBlockReasonCreate(window, kCallInProgressReason);
            return TRUE;
        case WM_ENDSESSION:
            if (wparam != FALSE) {
                ShutdownBlockReasonCreate(window, kClosingReason);
                self->onEnd_();
            }
            ShutdownBlockReasonDestroy(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace karune
