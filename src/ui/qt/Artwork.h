#pragma once

#include <QPixmap>

namespace karune::ui {

// The application icon, 32 x 32, shared by the main window and the about box.
QPixmap programIcon();

// The about box's banner, 802 x 172.
QPixmap programBanner();

}  // namespace karune::ui
