#pragma once

#include <windows.h>

#include <string_view>

#include "ui/core/Layout.h"
#include "ui/win32/ControlTree.h"

namespace karune::ui {

// One of the program's windows, made from its table: the window class, its controls, their
// placement at the window's DPI (again when it moves to a monitor of another DPI), the drawing the
// table asks for (lamps, red text, lines, icon, banner), and the keyboard focus. Subclasses handle
// their controls' events.
class TopLevelWindow {
public:
    enum class Frame { Main, Dialog };

    TopLevelWindow(const WindowSpec& table, Frame frame);
    virtual ~TopLevelWindow();
    TopLevelWindow(const TopLevelWindow&) = delete;
    TopLevelWindow& operator=(const TopLevelWindow&) = delete;

    // Creates the window hidden, with all its controls; `owner` stays under it and minimises with
    // it.
    void create(HWND owner);
    HWND handle() const { return window_; }
    bool exists() const { return window_ != nullptr; }
    HWND control(std::string_view name) const { return controls_.find(name); }
    void setCaption(std::string_view text);
    void setText(std::string_view control, std::string_view text);
    std::string text(std::string_view control) const;
    // Moves the window's top-left corner to `left`, `top` (screen pixels).
    void moveTo(int left, int top);
    // Places the window's centre on the centre of `other`.
    void centreOn(HWND other);
    // Destroys the window (not the object): the window's onDestroyed() runs.
    void destroy();

    // The message loop's test: a window of this program, which takes the dialog keys (Tab, Esc).
    static bool isProgramWindow(HWND window);

protected:
    const ControlTree& controls() const { return controls_; }

    // A notification from a control: BN_CLICKED, STN_DBLCLK, EN_CHANGE, LBN_DBLCLK, CBN_SELCHANGE.
    virtual void onCommand(const ControlSpec& control, int code) = 0;
    // IDOK and IDCANCEL from the dialog keys (Enter, Esc).
    virtual void onDialogKey(int /*id*/) {}
    // The close box or Alt+F4.
    virtual void onClose() = 0;
    virtual void onDestroyed() {}
    // Any other message; return true when handled, with `result`.
    virtual bool onMessage(UINT /*message*/, WPARAM, LPARAM, LRESULT& /*result*/) { return false; }
    virtual void drawListItem(const DRAWITEMSTRUCT& /*item*/) {}

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void fitClientArea();
    // The title bar's and the task bar's icons, sized for `dpi`.
    void loadIcons(int dpi);

    const WindowSpec& table_;
    Frame frame_;
    ControlTree controls_;
    HWND window_ = nullptr;
    HWND lastFocus_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};

}  // namespace karune::ui
