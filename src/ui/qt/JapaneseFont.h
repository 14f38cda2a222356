#pragma once

#include <QFont>

class QWidget;

namespace karune::ui {

// A font that renders the half-width katakana and kanji of the captions, at the size the layout
// was drawn for. Prefers IPAGothic, then other common Japanese faces, then the platform default.
QFont japaneseFont();

// Gives `window` and, through inheritance, all its controls the Japanese font.
void applyJapaneseFont(QWidget& window);

}  // namespace karune::ui
