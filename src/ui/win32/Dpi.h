#pragma once

#include <windows.h>

namespace karune::ui {

// The dots per inch the window is drawn at: its monitor's under per-monitor awareness, else the
// system's. Windows before 10 lack the per-window calls; they fall back to the screen's.
int windowDpi(HWND window);

// The outer size of a window whose client area is `width` x `height` pixels at `dpi`.
SIZE outerSize(HWND window, int width, int height, int dpi);

// The system's size of an icon (SM_CXICON) or a small icon (SM_CXSMICON) at `dpi`.
int iconPixels(int metric, int dpi);

}  // namespace karune::ui
