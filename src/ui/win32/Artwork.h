#pragma once

#include <windows.h>

namespace karune::ui {

// The program's icon from its resources at `size` pixels square; null when the module has none
// (a test program). The caller destroys it.
HICON loadProgramIcon(int size);

// A lamp: a rounded rectangle filled with `colour`, outlined in black.
void drawLamp(HDC dc, const RECT& place, COLORREF colour);

// The about box's banner, drawn to fill `place`: the handheld terminal sending to the PC under
// the program's name.
void drawBanner(HDC dc, const RECT& place, HFONT font);

}  // namespace karune::ui
