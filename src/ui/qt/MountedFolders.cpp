#include "ui/qt/MountedFolders.h"

#include <QDir>
#include <QStorageInfo>
#include <algorithm>
#include <filesystem>

#include "config/Utf8Path.h"
#include "ui/core/FolderListing.h"

namespace karune::ui {

std::vector<RootEntry> MountedFolders::roots() const {
    std::vector<RootEntry> result;
    const auto add = [&result](const QString& root) {
        const std::string path = root.toStdString();
        const bool known =
            std::any_of(result.begin(), result.end(),
                        [&path](const RootEntry& entry) { return entry.root == path; });
        if (!known) {
            result.push_back({path, path});
        }
    };
    add(QDir::rootPath());
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid()) {
            add(volume.rootPath());
        }
    }
    return result;
}

std::variant<std::vector<std::string>, std::error_code> MountedFolders::subfolders(
    const std::string& folder) const {
    return listSubfolders(folder);
}

std::string MountedFolders::currentFolder() const {
    std::error_code ignored;
    return utf8FromPath(std::filesystem::current_path(ignored));
}

}  // namespace karune::ui
