#include "platform/HomeLock.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <chrono>
#include <thread>
#endif

#include "support/TempFolder.h"

namespace karune {
namespace {

// One holder per folder; another line's home beside it is held at the same time.
TEST(HomeLock, HoldsAFolderForOneHolderAtATimeAndLeavesNoFileBehind) {
    test::TempFolder folder;
    test::TempFolder otherLine;
    {
        const HomeLock first(folder.path());
        EXPECT_EQ(first.outcome(), HomeLock::Outcome::Held);
        EXPECT_EQ(HomeLock(folder.path()).outcome(), HomeLock::Outcome::HeldByAnother);
        EXPECT_EQ(HomeLock(otherLine.path()).outcome(), HomeLock::Outcome::Held);
    }
    EXPECT_EQ(HomeLock(folder.path()).outcome(), HomeLock::Outcome::Held);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
    const HomeLock missing(folder.path() / "gone");
    EXPECT_EQ(missing.outcome(), HomeLock::Outcome::Failed);
    EXPECT_FALSE(missing.error().empty());
}

#ifdef _WIN32
// The lock file of a program that has just ended may still be on its way out: opening it then
// fails with "access denied". A short wait sees it go; a longer hold is reported as still held.
// Wine answers a pending deletion with a sharing violation; a folder of that name gives the
// refusal.
TEST(HomeLock, WaitsForALockFileThatIsStillBeingReleased) {
    for (const bool released : {true, false}) {
        test::TempFolder folder;
        const std::filesystem::path file = folder.path() / L"karune-modem.lock";
        std::filesystem::create_directory(file);
        // Released during a wait that a loaded machine cannot outrun, or only after a short one.
        std::thread releaser([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            if (released)
                std::filesystem::remove(file);
        });
        const HomeLock lock(folder.path(), std::chrono::milliseconds(released ? 10000 : 100));
        releaser.join();
        EXPECT_EQ(lock.outcome(), released ? HomeLock::Outcome::Held : HomeLock::Outcome::StillHeld)
            << lock.error();
    }
}
#endif

}  // namespace
}  // namespace karune
