#pragma once

#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

namespace karune::ui {

// One entry of the drive list: the root's path and what the list shows for it (Windows "C:\" and
// "c: [Volume]", Linux "/" and "/").
struct RootEntry {
    std::string root;
    std::string label;
};

// One row of the directory list: the root, each folder down to the open one, and the open
// folder's sub-folders. `open` rows show an open folder icon.
struct FolderRow {
    std::string text;
    std::string path;
    int depth;
    bool open;
    bool operator==(const FolderRow&) const = default;
};

// The file system as the chooser sees it; each platform supplies one.
class FolderSource {
public:
    virtual ~FolderSource() = default;
    // In display order. Roots carry no trailing separator except a bare root such as "/" or "C:\".
    virtual std::vector<RootEntry> roots() const = 0;
    // Sorted visible sub-folder names, or the error that kept the folder from being read.
    // Returns within a bounded time: a drive that is not ready is an error, never a hang.
    virtual std::variant<std::vector<std::string>, std::error_code> subfolders(
        const std::string& folder) const = 0;
    virtual std::string currentFolder() const = 0;
};

// The folder chooser's two lists. A double-click on a row opens that folder; "OK" takes the open
// folder, never a merely highlighted one. Per root it remembers the folder last opened there,
// which picking that root again opens (the per-drive current directory).
class FolderChooserLogic {
public:
    // Opens startFolder; when it (or its root) is gone, the current folder; silently either way,
    // and when even that cannot be read the lists stay empty.
    FolderChooserLogic(const FolderSource& source, const std::string& startFolder);

    const std::vector<RootEntry>& roots() const { return roots_; }
    int selectedRoot() const { return selectedRoot_; }  // index in roots(), -1 for none
    const std::vector<FolderRow>& rows() const { return rows_; }
    int currentRow() const { return currentRow_; }  // the open folder's row, -1 for none
    const std::string& openFolder() const { return openFolder_; }

    // The operator picked a drive / double-clicked a row. On failure: the "ｴﾗｰ" message text (the
    // beep and the message box are the front end's); the drive list keeps the new drive, the
    // directory list its folder.
    std::optional<std::string> pickRoot(int index);
    std::optional<std::string> openRow(int row);

private:
    bool open(const std::string& start);
    int rootIndexOf(const std::string& path) const;
    void show(int root, const std::string& folder, const std::vector<std::string>& subfolders);

    const FolderSource& source_;
    std::vector<RootEntry> roots_;
    std::map<int, std::string> lastOpened_;  // by root index
    int selectedRoot_ = -1;
    std::vector<FolderRow> rows_;
    int currentRow_ = -1;
    std::string openFolder_;
};

// The chooser's message for a folder that cannot be read: "ｴﾗｰ", the error number with its sign
// position, CR LF, the error's description.
std::string folderErrorText(const std::error_code& error);

}  // namespace karune::ui
