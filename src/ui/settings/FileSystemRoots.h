#pragma once

#include <QStringList>

namespace karune::ui {

// The file-system roots the folder chooser offers in its drive list ("/" and the mount points on
// Linux, the drive roots on Windows), in display order. Roots carry no trailing separator except
// a bare "/" or a drive root such as "C:/".
class FileSystemRoots {
public:
    virtual ~FileSystemRoots() = default;
    virtual QStringList roots() const = 0;
};

// The mounted volumes as the platform reports them.
class MountedRoots : public FileSystemRoots {
public:
    QStringList roots() const override;
};

}  // namespace karune::ui
