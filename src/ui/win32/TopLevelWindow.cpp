#include "ui/win32/TopLevelWindow.h"

#include <cmath>
#include <string>

#include "ui/win32/Artwork.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/WideText.h"

namespace karune::ui {

namespace {

constexpr wchar_t kWindowClass[] = L"KaruneModemWindow";

ATOM registerWindowClass(WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    // CS_DBLCLKS: a double-click on the main window's background minimises it.
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExW(&windowClass);
}

}  // namespace

TopLevelWindow::TopLevelWindow(const WindowSpec& table, Frame frame)
    : table_(table), frame_(frame), controls_(table) {}

TopLevelWindow::~TopLevelWindow() {
    destroy();
    if (bigIcon_ != nullptr)
        DestroyIcon(bigIcon_);
    if (smallIcon_ != nullptr)
        DestroyIcon(smallIcon_);
}

void TopLevelWindow::create(HWND owner) {
    static const ATOM windowClass = registerWindowClass(&TopLevelWindow::windowProcedure);
    (void)windowClass;
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    if (frame_ == Frame::Main)
        style |= WS_MINIMIZEBOX;
    else
        exStyle |= WS_EX_DLGMODALFRAME;
    CreateWindowExW(exStyle, kWindowClass, widen(table_.caption).c_str(), style, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                    GetModuleHandleW(nullptr), this);
    if (window_ == nullptr)
        return;
    markName(window_, table_.name);
    const int dpi = windowDpi(window_);
    controls_.create(window_, dpi);
    fitClientArea();
    if (frame_ == Frame::Main)
        loadIcons(dpi);
}

void TopLevelWindow::loadIcons(int dpi) {
    // The window keeps the icons it is given; the old ones go once the new ones are set.
    const HICON oldBig = bigIcon_;
    const HICON oldSmall = smallIcon_;
    bigIcon_ = loadProgramIcon(iconPixels(SM_CXICON, dpi));
    smallIcon_ = loadProgramIcon(iconPixels(SM_CXSMICON, dpi));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    if (oldBig != nullptr)
        DestroyIcon(oldBig);
    if (oldSmall != nullptr)
        DestroyIcon(oldSmall);
}

void TopLevelWindow::fitClientArea() {
    const SIZE outer = outerSize(window_, controls_.pixels(table_.clientWidth),
                                 controls_.pixels(table_.clientHeight), controls_.dpi());
    SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TopLevelWindow::setCaption(std::string_view text) {
    SetWindowTextW(window_, widen(text).c_str());
}

void TopLevelWindow::setText(std::string_view control, std::string_view text) {
    if (const HWND target = controls_.find(control))
        SetWindowTextW(target, widen(text).c_str());
}

std::string TopLevelWindow::text(std::string_view control) const {
    const HWND source = controls_.find(control);
    if (source == nullptr)
        return {};
    std::wstring wide(static_cast<std::size_t>(GetWindowTextLengthW(source)) + 1, L'\0');
    wide.resize(static_cast<std::size_t>(
        GetWindowTextW(source, wide.data(), static_cast<int>(wide.size()))));
    return narrow(wide);
}

void TopLevelWindow::moveTo(int left, int top) {
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TopLevelWindow::centreOn(HWND other) {
    RECT outer{};
    RECT own{};
    GetWindowRect(other, &outer);
    GetWindowRect(window_, &own);
    const double left = outer.left + ((outer.right - outer.left) - (own.right - own.left)) / 2.0;
    const double top = outer.top + ((outer.bottom - outer.top) - (own.bottom - own.top)) / 2.0;
    moveTo(static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)));
}

void TopLevelWindow::destroy() {
    if (window_ != nullptr)
        DestroyWindow(window_);
}

bool TopLevelWindow::isProgramWindow(HWND window) {
    wchar_t name[64] = {};
    return GetClassNameW(window, name, 64) > 0 && std::wstring_view(name) == kWindowClass;
}

LRESULT CALLBACK TopLevelWindow::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TopLevelWindow*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TopLevelWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT TopLevelWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (const ControlSpec* control = controls_.entryOf(id); control != nullptr)
                onCommand(*control, HIWORD(wParam));
            else if (id == IDOK || id == IDCANCEL)
                onDialogKey(id);
            return 0;
        }
        case WM_CTLCOLORSTATIC:
            if (const auto colour = controls_.textColour(reinterpret_cast<HWND>(lParam))) {
                const auto dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, *colour);
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlType == ODT_LISTBOX)
                drawListItem(item);
            else
                controls_.draw(item);
            return TRUE;
        }
        case WM_DPICHANGED: {
            const auto& suggested = *reinterpret_cast<const RECT*>(lParam);
            controls_.layout(HIWORD(wParam));
            moveTo(suggested.left, suggested.top);
            fitClientArea();
            if (frame_ == Frame::Main)
                loadIcons(HIWORD(wParam));
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                if (const HWND focus = GetFocus(); focus != nullptr && IsChild(window_, focus))
                    lastFocus_ = focus;
                return 0;
            }
            [[fallthrough]];
        case WM_SETFOCUS:
            // A window of controls hands the focus to the control that had it, else the first.
            if (lastFocus_ == nullptr || !IsWindow(lastFocus_) || !IsWindowEnabled(lastFocus_))
                lastFocus_ = GetNextDlgTabItem(window_, nullptr, FALSE);
            if (lastFocus_ != nullptr)
                SetFocus(lastFocus_);
            return 0;
        case WM_CLOSE:
            onClose();
            return 0;
        case WM_DESTROY:
            controls_.release();
            unmarkName(window_);
            onDestroyed();
            return 0;
        default:
            break;
    }
    LRESULT result = 0;
    if (onMessage(message, wParam, lParam, result))
        return result;
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace karune::ui
