#include <QDesktopServices>
#include <QUrl>

#include "ui/qt/DesktopFileOpener.h"

namespace karune::ui {

bool DesktopFileOpener::open(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace karune::ui
