#pragma once

#include <windows.h>

#include <functional>
#include <thread>

namespace karune {

// A hidden top-level window on a thread of its own, for a program that shows none: once a process
// has loaded user32, Windows announces the end of the user's session (logoff, shutdown, restart)
// only to its top-level windows, not to its console handler, and ends the process as soon as the
// last of them has answered WM_ENDSESSION.
//
// As Windows documents it: WM_QUERYENDSESSION only asks, and is answered yes; while a call is in
// progress the window gives Windows the reason to show, so that the user can still cancel. The
// session ends only with WM_ENDSESSION(TRUE), which may also come without a question (a forced
// logoff); WM_ENDSESSION(FALSE), the end cancelled, changes nothing.
class EndSessionWindow {
public:
    // Other programs (and the tests) find the window by this class name.
    static constexpr const wchar_t* kClassName = L"KaruneModemEndSession";

    // `callInProgress` and `onEnd` run on the window's thread: the first when Windows asks, the
    // second when the session ends; the process ends once `onEnd` returns. Without a window (a
    // system that refuses to create one) neither ever runs.
    EndSessionWindow(std::function<bool()> callInProgress, std::function<void()> onEnd);
    ~EndSessionWindow();
    EndSessionWindow(const EndSessionWindow&) = delete;
    EndSessionWindow& operator=(const EndSessionWindow&) = delete;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    void run(HANDLE created);

    std::function<bool()> callInProgress_;
    std::function<void()> onEnd_;
    HWND window_ = nullptr;
    std::thread thread_;
};

// What Windows shows beside the program while the user's session waits for it: a call that the
// end would cut off, and a call that is closing.
inline constexpr const wchar_t* kCallInProgressReason =
    L"端末と通信中です。終了すると端末は同じﾚｺｰﾄﾞを次の通信で再送します";
inline constexpr const wchar_t* kClosingReason = L"通信を終了しています";

}  // namespace karune
