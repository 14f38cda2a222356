#pragma once

#include "ui/core/FolderChooserLogic.h"

namespace karune::ui {

// The folder chooser's file system on Linux: "/" and the mounted volumes as roots, folders read
// with std::filesystem.
class MountedFolders : public FolderSource {
public:
    std::vector<RootEntry> roots() const override;
    std::variant<std::vector<std::string>, std::error_code> subfolders(
        const std::string& folder) const override;
    std::string currentFolder() const override;
};

}  // namespace karune::ui
