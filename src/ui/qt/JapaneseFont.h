#pragma once

#include <QFont>

class QWidget;

namespace karune::ui {

// A font that renders the half-width katakana and kanji of the captions, at the size the layout
// was drawn for. Prefers IPAGothic, then other common Japanese faces, then the platform default.
QFont japaneseFont();

// The Japanese font with its arrows taken from DejaVu Sans (when installed): IPAGothic draws "←"
// and "→" at 12 pixels as plain dashes. DejaVu Sans has no kana or kanji, so they still come from
// the Japanese face.
QFont arrowsFont();

// Gives `window` and, through inheritance, all its controls the Japanese font.
void applyJapaneseFont(QWidget& window);

}  // namespace karune::ui
