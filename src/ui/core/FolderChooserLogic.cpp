#include "ui/core/FolderChooserLogic.h"

#include "config/Utf8Path.h"
#include "session/SignedNumber.h"

namespace karune::ui {

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

bool endsWithSeparator(std::string_view path) {
    return !path.empty() && isSeparator(path.back());
}

// `folder` and `name` joined by one separator.
std::string joined(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (!endsWithSeparator(path)) {
        path += kPathSeparator;
    }
    return path += name;
}

// The names of the folders below `root` on the way to `path`.
std::vector<std::string> namesBelow(std::string_view root, std::string_view path) {
    std::vector<std::string> names;
    std::string_view rest = path.substr(root.size());
    while (!rest.empty()) {
        std::size_t end = 0;
        while (end < rest.size() && !isSeparator(rest[end])) {
            ++end;
        }
        if (end > 0) {
            names.emplace_back(rest.substr(0, end));
        }
        rest.remove_prefix(end < rest.size() ? end + 1 : end);
    }
    return names;
}

// `folder` below `root` with one separator between names: "a//b/" becomes "a/b".
std::string normalised(const std::string& root, const std::string& folder) {
    std::string path = root;
    for (const std::string& name : namesBelow(root, folder)) {
        path = joined(path, name);
    }
    return path;
}

}  // namespace

FolderChooserLogic::FolderChooserLogic(const FolderSource& source, const std::string& startFolder)
    : source_(source), roots_(source.roots()) {
    if (!open(startFolder)) {
        open(source_.currentFolder());
    }
}

std::optional<std::string> FolderChooserLogic::pickRoot(int index) {
    if (index < 0 || index >= static_cast<int>(roots_.size())) {
        return std::nullopt;
    }
    selectedRoot_ = index;
    const auto last = lastOpened_.find(index);
    const std::string target =
        last != lastOpened_.end() ? last->second : roots_[static_cast<std::size_t>(index)].root;
    auto listing = source_.subfolders(target);
    if (const auto* error = std::get_if<std::error_code>(&listing)) {
        return folderErrorText(*error);
    }
    show(index, target, std::get<std::vector<std::string>>(listing));
    return std::nullopt;
}

std::optional<std::string> FolderChooserLogic::openRow(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return std::nullopt;
    }
    const std::string folder = rows_[static_cast<std::size_t>(row)].path;
    auto listing = source_.subfolders(folder);
    if (const auto* error = std::get_if<std::error_code>(&listing)) {
        return folderErrorText(*error);
    }
    show(rootIndexOf(folder), folder, std::get<std::vector<std::string>>(listing));
    return std::nullopt;
}

bool FolderChooserLogic::open(const std::string& start) {
    const int root = rootIndexOf(start);
    if (root < 0) {
        return false;
    }
    const std::string folder = normalised(roots_[static_cast<std::size_t>(root)].root, start);
    auto listing = source_.subfolders(folder);
    if (std::holds_alternative<std::error_code>(listing)) {
        return false;
    }
    selectedRoot_ = root;
    show(root, folder, std::get<std::vector<std::string>>(listing));
    return true;
}

int FolderChooserLogic::rootIndexOf(const std::string& path) const {
    int best = -1;
    for (int i = 0; i < static_cast<int>(roots_.size()); ++i) {
        const std::string& root = roots_[static_cast<std::size_t>(i)].root;
        const bool holds =
            path.starts_with(root) && (path.size() == root.size() || endsWithSeparator(root) ||
                                       isSeparator(path[root.size()]));
        if (holds &&
            (best < 0 || root.size() > roots_[static_cast<std::size_t>(best)].root.size())) {
            best = i;
        }
    }
    return best;
}

void FolderChooserLogic::show(int root, const std::string& folder,
                              const std::vector<std::string>& subfolders) {
    const std::string& rootPath = roots_[static_cast<std::size_t>(root)].root;
    rows_.clear();
    rows_.push_back({rootPath, rootPath, 0, true});
    std::string path = rootPath;
    for (const std::string& name : namesBelow(rootPath, folder)) {
        path = joined(path, name);
        rows_.push_back({name, path, rows_.back().depth + 1, true});
    }
    currentRow_ = static_cast<int>(rows_.size()) - 1;
    const int depth = rows_.back().depth + 1;
    for (const std::string& name : subfolders) {
        rows_.push_back({name, joined(path, name), depth, false});
    }
    openFolder_ = path;
    lastOpened_[root] = path;
}

std::string folderErrorText(const std::error_code& error) {
    return "ｴﾗｰ" + signPosition(error.value()) + "\r\n" + error.message();
}

}  // namespace karune::ui
