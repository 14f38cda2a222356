#pragma once

#include <string>

#include "ui/core/FileOpener.h"

namespace karune::ui {

// Opens a file in Notepad as a normal window with the focus: "notepad.exe" of the system folder
// with the path as its one argument, quoted, so that spaces and Japanese characters reach it
// unchanged.
class NotepadOpener : public FileOpener {
public:
    bool open(const std::string& path) override;
    // Why the last open failed, in the system's words (UTF-8).
    const std::string& lastError() const { return lastError_; }

private:
    std::string lastError_;
};

}  // namespace karune::ui
