#include "ui/win32/Dpi.h"

#include "ui/core/Layout.h"

namespace karune::ui {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using MetricsForDpiFn = int(WINAPI*)(int, UINT);

template <typename Function>
Function user32Function(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 == nullptr
               ? nullptr
               : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

// The DPI the system's sizes (GetSystemMetrics) are given at.
int systemDpi() {
    static const auto forSystem = user32Function<GetDpiForSystemFn>("GetDpiForSystem");
    if (forSystem != nullptr)
        return static_cast<int>(forSystem());
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

int windowDpi(HWND window) {
    static const auto forWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (forWindow != nullptr && window != nullptr) {
        if (const UINT dpi = forWindow(window); dpi != 0)
            return static_cast<int>(dpi);
    }
    return systemDpi();
}

SIZE outerSize(HWND window, int width, int height, int dpi) {
    static const auto adjust = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, width, height};
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    if (adjust != nullptr)
        adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi));
    else
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

int iconPixels(int metric, int dpi) {
    static const auto forDpi = user32Function<MetricsForDpiFn>("GetSystemMetricsForDpi");
    if (forDpi != nullptr)
        return forDpi(metric, static_cast<UINT>(dpi));
    // A DPI-aware program gets the system's sizes at the system's DPI, not at 96.
    return rescaledPixels(GetSystemMetrics(metric), systemDpi(), dpi);
}

}  // namespace karune::ui
