#include <QDesktopServices>
#include <QUrl>

#include "ui/main/FileOpener.h"

namespace karune::ui {

void DesktopFileOpener::open(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace karune::ui
