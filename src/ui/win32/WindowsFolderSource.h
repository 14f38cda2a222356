#pragma once

#include <chrono>

#include "ui/core/FolderChooserLogic.h"

namespace karune::ui {

// The folder chooser's view of a Windows machine: the drive letters with their volume names
// ("c: [Windows]"), the visible sub-folders of a folder, and the process's current directory.
//
// A drive that does not answer (an empty card reader, a lost network drive) can keep the system
// busy for many seconds: each query runs on a worker and is given up after `bound`, the drive then
// counting as not ready. Build it after SetErrorMode(SEM_FAILCRITICALERRORS), so that an empty
// drive shows no system dialog.
class WindowsFolderSource : public FolderSource {
public:
    explicit WindowsFolderSource(std::chrono::milliseconds bound = std::chrono::seconds(2));

    std::vector<RootEntry> roots() const override;
    std::variant<std::vector<std::string>, std::error_code> subfolders(
        const std::string& folder) const override;
    std::string currentFolder() const override;

private:
    std::chrono::milliseconds bound_;
};

}  // namespace karune::ui
