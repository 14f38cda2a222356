#include "platform/LogFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "linesim/VirtualClock.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace karune {
namespace {

// Lines `first` to `last` as the file holds them, line n written n seconds after 09:15:00.
std::string stamped(int first, int last) {
    std::string lines;
    for (int n = first; n <= last; ++n)
        lines += "2007-06-06 09:15:" + std::string(n < 10 ? "0" : "") + std::to_string(n) +
                 " line " + std::to_string(n + 10) + "\r\n";
    return lines;
}

// 29-byte lines, a limit of 100 bytes and three kept files, after a log of 60 bytes that an
// earlier run left: the old log and lines 1 and 2 fill the first file, lines 3 to 6 the next, and
// so on; the first has gone when the fourth was kept.
TEST(LogFile, StampsEachLineAndKeepsTheLastFilesOfBoundedSize) {
    test::TempFolder folder;
    const std::filesystem::path log = folder.path() / "karune-modem.log";
    test::writeFile(log, std::string(58, 'x') + "\r\n");
    sim::VirtualClock clock;
    {
        LogFile file(log, clock, 100, 3);
        for (int n = 1; n <= 16; ++n) {
            clock.advanceBy(std::chrono::seconds(1));
            file.write(Severity::Info, "line " + std::to_string(n + 10));
        }
    }
    const std::string kept[] = {stamped(15, 16), stamped(11, 14), stamped(7, 10), stamped(3, 6)};
    EXPECT_EQ(test::fileBytes(log), kept[0]);
    for (int generation = 1; generation <= 3; ++generation)
        EXPECT_EQ(test::fileBytes(folder.path() /
                                  ("karune-modem." + std::to_string(generation) + ".log")),
                  kept[generation]);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "karune-modem.4.log"));
}

}  // namespace
}  // namespace karune
