#include "ui/main/ViewerPaths.h"

namespace karune::ui {

QString historyFilePath(const QString& folder, const QString& dateText) {
    return folder + QLatin1Char('/') + dateText.left(7) + QStringLiteral(".txt");
}

QString outputFilePath(const QString& folderLabel, const QString& fileLabel) {
    if (fileLabel.isEmpty()) {
        return {};
    }
    QString folder = folderLabel;
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))) {
        folder.chop(1);
    }
    return folder + fileLabel;
}

}  // namespace karune::ui
