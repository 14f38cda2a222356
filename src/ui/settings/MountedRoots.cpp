#include <QDir>
#include <QStorageInfo>

#include "ui/settings/FileSystemRoots.h"

namespace karune::ui {

QStringList MountedRoots::roots() const {
    QStringList result;
    const QString systemRoot = QDir::rootPath();
    result << systemRoot;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid()) {
            continue;
        }
        const QString root = volume.rootPath();
        if (!result.contains(root)) {
            result << root;
        }
    }
    return result;
}

}  // namespace karune::ui
