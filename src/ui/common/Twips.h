#pragma once

#include <QRect>

namespace karune::ui {

// Window layouts are given in twips; 15 twips make one pixel at 96 dpi.
constexpr int twipsToPixels(int twips) {
    return twips / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

}  // namespace karune::ui
