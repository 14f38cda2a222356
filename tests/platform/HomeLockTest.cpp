#include "platform/HomeLock.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace karune {
namespace {

TEST(HomeLock, HoldsAFolderForOneHolderAtATimeAndLeavesNoFileBehind) {
    test::TempFolder folder;
    {
        const HomeLock first(folder.path());
        EXPECT_EQ(first.outcome(), HomeLock::Outcome::Held);
        EXPECT_EQ(HomeLock(folder.path()).outcome(), HomeLock::Outcome::HeldByAnother);
    }
    EXPECT_EQ(HomeLock(folder.path()).outcome(), HomeLock::Outcome::Held);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
    const HomeLock missing(folder.path() / "gone");
    EXPECT_EQ(missing.outcome(), HomeLock::Outcome::Failed);
    EXPECT_FALSE(missing.error().empty());
}

}  // namespace
}  // namespace karune
