#include "ui/main/ViewerPaths.h"

namespace karune::ui {

namespace {

// A root folder ends in its separator; a second one would make "//name", which a desktop opener
// reads as a network host.
QString withoutTrailingSeparator(QString folder) {
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))) {
        folder.chop(1);
    }
    return folder;
}

}  // namespace

QString historyFilePath(const QString& folder, const QString& dateText) {
    return withoutTrailingSeparator(folder) + QLatin1Char('/') + dateText.left(7) +
           QStringLiteral(".txt");
}

QString outputFilePath(const QString& folderLabel, const QString& fileLabel) {
    if (fileLabel.isEmpty()) {
        return {};
    }
    return withoutTrailingSeparator(folderLabel) + fileLabel;
}

}  // namespace karune::ui
