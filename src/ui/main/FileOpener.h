#pragma once

#include <QString>

namespace karune::ui {

// Opens a text file in the platform's text editor, without a shell in between, so any path
// (spaces included) reaches the editor unchanged. Whether the editor starts is not reported.
class FileOpener {
public:
    virtual ~FileOpener() = default;
    virtual void open(const QString& path) = 0;
};

// The desktop's handler for local files.
class DesktopFileOpener : public FileOpener {
public:
    void open(const QString& path) override;
};

}  // namespace karune::ui
