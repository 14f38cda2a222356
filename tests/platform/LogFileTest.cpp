#include "platform/LogFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "linesim/VirtualClock.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace karune {
namespace {

// Line n as the file holds it, written n seconds after 09:15:00.
std::string stamped(int n) {
    char line[64];
    std::snprintf(line, sizeof line, "2007-06-06 09:15:%02d line %02d\r\n", n, n);
    return line;
}
std::string stamped(int first, int last) {
    std::string lines;
    for (int n = first; n <= last; ++n)
        lines += stamped(n);
    return lines;
}

// 29-byte lines, a limit of 100 bytes and three kept files, after a log of 60 bytes that an
// earlier run left: the old log and lines 1 and 2 fill the first file, lines 3 to 6 the next, and
// so on; the first has gone when the fourth was kept.
TEST(LogFile, StampsEachLineAndKeepsTheLastFilesOfBoundedSize) {
    test::TempFolder folder;
    const std::filesystem::path log = folder.path() / "karune-modem.log";
    const std::string earlier(58, 'x');
    test::writeFile(log, earlier + "\r\n");
    sim::VirtualClock clock;
    {
        LogFile file(log, clock, 100, 3);
        for (int n = 1; n <= 16; ++n) {
            clock.advanceBy(std::chrono::seconds(1));
            file.write(Severity::Info,
                       "line " + std::string(n < 10 ? "0" : "") + std::to_string(n));
        }
    }
    EXPECT_EQ(test::fileBytes(log), stamped(15, 16));
    EXPECT_EQ(test::fileBytes(folder.path() / "karune-modem.1.log"), stamped(11, 14));
    EXPECT_EQ(test::fileBytes(folder.path() / "karune-modem.2.log"), stamped(7, 10));
    EXPECT_EQ(test::fileBytes(folder.path() / "karune-modem.3.log"), stamped(3, 6));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "karune-modem.4.log"));
}

}  // namespace
}  // namespace karune
