#include "ui/core/FolderChooserLogic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "config/Utf8Path.h"
#include "ui/core/FolderListing.h"

namespace karune::ui {
namespace {

// A path of the platform's form: the separator, then the names joined by it.
std::string at(std::initializer_list<std::string_view> names) {
    std::string path;
    for (std::string_view name : names)
        path.append(kPathSeparator).append(name);
    return names.size() == 0 ? std::string(kPathSeparator) : path;
}

// Two roots; folders listed by their full path, anything else unreadable.
class FakeFolders : public FolderSource {
public:
    std::vector<RootEntry> roots() const override {
        return {{at({}), at({})}, {at({"media", "card"}), "card"}};
    }
    std::variant<std::vector<std::string>, std::error_code> subfolders(
        const std::string& folder) const override {
        const auto found = folders.find(folder);
        if (found == folders.end())
            return std::make_error_code(std::errc::no_such_device);
        return found->second;
    }
    std::string currentFolder() const override { return current; }

    std::map<std::string, std::vector<std::string>> folders{
        {at({}), {"home", "media"}},
        {at({"home"}), {"ann"}},
        {at({"home", "ann"}), {"2026", "受信"}},
        {at({"media", "card"}), {"DCIM"}},
        {at({"media", "card", "DCIM"}), {}},
    };
    std::string current = at({"home"});
};

// The chooser opens the folder the dialog shows, else the current folder, without a word.
TEST(FolderChooserLogic, OpensTheStartFolderOrTheCurrentOne) {
    FakeFolders folders;
    const std::string ann = at({"home", "ann"});
    const struct {
        std::string start, opened;
        int root;
    } cases[] = {{ann, ann, 0},
                 {ann + std::string(kPathSeparator), ann, 0},
                 {at({"media", "card"}), at({"media", "card"}), 1},
                 {at({"gone"}), at({"home"}), 0},
                 {"relative", at({"home"}), 0}};
    for (const auto& c : cases) {
        const FolderChooserLogic chooser(folders, c.start);
        EXPECT_EQ(chooser.openFolder(), c.opened) << c.start;
        EXPECT_EQ(chooser.selectedRoot(), c.root) << c.start;
    }
    const FolderChooserLogic chooser(folders, ann);
    EXPECT_EQ(chooser.rows(),
              (std::vector<FolderRow>{{at({}), at({}), 0, true},
                                      {"home", at({"home"}), 1, true},
                                      {"ann", ann, 2, true},
                                      {"2026", at({"home", "ann", "2026"}), 3, false},
                                      {"受信", at({"home", "ann", "受信"}), 3, false}}));
    EXPECT_EQ(chooser.currentRow(), 2);

    folders.current = at({"gone"});
    const FolderChooserLogic empty(folders, at({"gone too"}));
    EXPECT_TRUE(empty.rows().empty());
    EXPECT_EQ(empty.openFolder(), "");
}

// A double-click opens a row's folder; a root picked again opens the folder last opened there;
// a root or folder that cannot be read gives the "ｴﾗｰ" text and leaves the open folder.
TEST(FolderChooserLogic, RowsAndRootsOpenFoldersOrReportWhyNot) {
    FakeFolders folders;
    FolderChooserLogic chooser(folders, at({"home"}));
    EXPECT_EQ(chooser.openRow(2), std::nullopt);  // "ann"
    EXPECT_EQ(chooser.openFolder(), at({"home", "ann"}));
    EXPECT_EQ(chooser.openRow(0), std::nullopt);
    EXPECT_EQ(chooser.openFolder(), at({}));
    EXPECT_EQ(chooser.pickRoot(1), std::nullopt);
    EXPECT_EQ(chooser.selectedRoot(), 1);
    EXPECT_EQ(chooser.openFolder(), at({"media", "card"}));
    EXPECT_EQ(chooser.openRow(1), std::nullopt);  // "DCIM"
    EXPECT_EQ(chooser.pickRoot(0), std::nullopt);
    EXPECT_EQ(chooser.openFolder(), at({}));
    EXPECT_EQ(chooser.pickRoot(1), std::nullopt);
    EXPECT_EQ(chooser.openFolder(), at({"media", "card", "DCIM"}))
        << "the folder last opened there";

    folders.folders.erase(at({"media", "card", "DCIM"}));
    folders.folders.erase(at({}));
    const auto before = chooser.rows();
    const std::error_code error = std::make_error_code(std::errc::no_such_device);
    for (const auto& refused : {chooser.pickRoot(0), chooser.openRow(1)})
        EXPECT_EQ(refused, "ｴﾗｰ " + std::to_string(error.value()) + "\r\n" + error.message());
    EXPECT_EQ(chooser.selectedRoot(), 0) << "the drive list keeps the new drive";
    EXPECT_EQ(chooser.rows(), before);
    EXPECT_EQ(chooser.openFolder(), at({"media", "card", "DCIM"}));
}

// As the desktop's folder lists order them: numbers by value, letters without regard to case,
// kana by reading whatever the script.
TEST(FolderListing, NamesSortAsAFolderListShowsThem) {
    const std::vector<std::string> sorted{"_x",    "9",   "10",   "200",   "2026", "a",
                                          "A",     "B2",  "b10",  "ｱﾙﾊﾞﾑ", "いぬ", "データ",
                                          "ﾃﾞｰﾀ2", "ﾊﾟﾝ", "受信", "漢字"};
    std::vector<std::string> names(sorted.rbegin(), sorted.rend());
    std::sort(names.begin(), names.end(), folderNameLess);
    EXPECT_EQ(names, sorted);
}

}  // namespace
}  // namespace karune::ui
