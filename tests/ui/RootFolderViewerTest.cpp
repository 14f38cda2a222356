// With the file-system root as the save folder the viewers must not open "//name", which a
// desktop opener takes for a network host.
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "ui/main/ViewerPaths.h"

namespace karune::ui {
namespace {

TEST(RootFolderViewer, OpensTheHistoryFileWithOneSeparator) {
    EXPECT_EQ(historyFilePath("/", "2007-06-06"), QStringLiteral("/2007-06.txt"));
}

}  // namespace
}  // namespace karune::ui
