#pragma once

#include <windows.h>

#include <functional>
#include <thread>

namespace karune {

// A hidden top-level window on a thread of its own, for a program that shows none: once a process
// has loaded user32, Windows announces the end of the user's session (logoff, shutdown, restart)
// only to its top-level windows, not to its console handler, and ends the process as soon as the
// last of them has answered WM_ENDSESSION.
class EndSessionWindow {
public:
    // Other programs (and the tests) find the window by this class name.
    static constexpr const wchar_t* kClassName = L"KaruneModemEndSession";

    // `onQuery` runs on the window's thread when the session is about to end, `onEnd` when it
    // ends; the process ends once `onEnd` returns. Without a window (a system that refuses to
    // create one) neither ever runs.
    EndSessionWindow(std::function<void()> onQuery, std::function<void()> onEnd);
    ~EndSessionWindow();
    EndSessionWindow(const EndSessionWindow&) = delete;
    EndSessionWindow& operator=(const EndSessionWindow&) = delete;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    void run(HANDLE created);

    std::function<void()> onQuery_;
    std::function<void()> onEnd_;
    HWND window_ = nullptr;
    std::thread thread_;
};

}  // namespace karune
