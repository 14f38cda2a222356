#include "ui/qt/JapaneseFont.h"

#include <QFontDatabase>
#include <QStringList>
#include <QWidget>

namespace karune::ui {

QFont japaneseFont() {
    // The layout was drawn for a 9 point face at 96 dpi: 12 pixels fit the 252 twips labels.
    static const QStringList kPreferred = {"IPAGothic",    "IPAPGothic", "Noto Sans CJK JP",
                                           "MS UI Gothic", "Meiryo UI",  "MS Gothic"};
    QFont font;
    const QStringList installed = QFontDatabase::families();
    QStringList families;
    for (const QString& face : kPreferred) {
        if (installed.contains(face)) {
            families << face;
        }
    }
    if (!families.isEmpty()) {
        font.setFamilies(families);
    }
    font.setPixelSize(12);
    return font;
}

QFont arrowsFont() {
    static const QString kArrowsFace = QStringLiteral("DejaVu Sans");
    QFont font = japaneseFont();
    if (QFontDatabase::families().contains(kArrowsFace)) {
        font.setFamilies(QStringList{kArrowsFace} + font.families());
    }
    return font;
}

void applyJapaneseFont(QWidget& window) {
    window.setFont(japaneseFont());
}

}  // namespace karune::ui
