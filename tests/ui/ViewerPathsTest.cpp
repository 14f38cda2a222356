#include <gtest/gtest.h>

#include "ui/main/ViewerPaths.h"

namespace karune::ui {
namespace {

TEST(ViewerPaths, HistoryFileIsTheMonthOfTheDateText) {
    const struct {
        QString folder, date, expected;
    } cases[] = {
        {"/srv/data", "2007-06-06", "/srv/data/2007-06.txt"},
        {"/srv/my data", "2026-12-31", "/srv/my data/2026-12.txt"},
        {"", "2026-01-01", "/2026-01.txt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(historyFilePath(c.folder, c.date), c.expected) << c.folder.toStdString();
    }
}

TEST(ViewerPaths, OutputFileJoinsFolderAndFileLabels) {
    const struct {
        QString folder, file, expected;
    } cases[] = {
        {"/srv/data", "/KEN.txt", "/srv/data/KEN.txt"},
        {"/", "/KEN.txt", "/KEN.txt"},
        {"C:\\", "\\KEN.txt", "C:\\KEN.txt"},
        {"/srv/data//", "/KEN.txt", "/srv/data//KEN.txt"},  // only one separator is dropped
        {"/srv/data", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outputFilePath(c.folder, c.file), c.expected) << c.folder.toStdString();
    }
}

}  // namespace
}  // namespace karune::ui
