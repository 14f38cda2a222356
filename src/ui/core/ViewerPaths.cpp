#include "ui/core/ViewerPaths.h"

#include "config/Utf8Path.h"

namespace karune::ui {

namespace {

// A root folder ends in its separator; a second one would make "//name", which a desktop opener
// reads as a network host.
std::string_view withoutTrailingSeparator(std::string_view folder) {
    if (folder.ends_with('/') || folder.ends_with('\\')) {
        folder.remove_suffix(1);
    }
    return folder;
}

}  // namespace

std::string historyFilePath(std::string_view folder, std::string_view dateText) {
    std::string path(withoutTrailingSeparator(folder));
    path += kPathSeparator;
    path += dateText.substr(0, 7);
    return path + ".txt";
}

std::string outputFilePath(std::string_view folderLabel, std::string_view fileLabel) {
    if (fileLabel.empty()) {
        return {};
    }
    return std::string(withoutTrailingSeparator(folderLabel)) + std::string(fileLabel);
}

}  // namespace karune::ui
