#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "config/FileSystem.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace karune {
namespace {

// A signal, a filling disk or a network file system make the system's write take part of the
// bytes: a record answered "ACK" must not lose its tail to that.
TEST(WrittenFile, FinishesAShortWriteOrReportsItsFailure) {
    struct Step {
        long taken;  // at most; -1: fails with `error`
        int error;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;  // the last one repeats
        int result;
        std::string written;
    } cases[] = {
        {"in pieces", {{3, 0}}, 0, "0123456789"},
        {"interrupted, then whole", {{-1, EINTR}, {99, 0}}, 0, "0123456789"},
        {"disk full half-way", {{5, 0}, {-1, ENOSPC}}, ENOSPC, "01234"},
        {"nothing taken, nothing said", {{0, 0}}, EIO, ""},
    };
    for (const auto& c : cases) {
        std::string written;
        std::size_t calls = 0;
        const int result = writeWhole("0123456789", [&](std::string_view rest) {
            const Step step = c.steps[std::min(calls++, c.steps.size() - 1)];
            if (step.taken < 0) {
                errno = step.error;
                return -1L;
            }
            const std::string_view taken = rest.substr(0, static_cast<std::size_t>(step.taken));
            written += taken;
            return static_cast<long>(taken.size());
        });
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(written, c.written) << c.name;
    }
}

// A failure taken for success would, for one, leave a converted transfer out of its output file
// (a rename) while the call reports success.
TEST(SystemFileSystem, ReportsEachFailure) {
    const test::TempFolder dir;
    const std::filesystem::path file = dir.path() / "x", gone = dir.path() / "gone" / "x";
    test::writeFile(file, "x");
    FileSystem& files = systemFileSystem();
    const std::pair<const char*, int> results[] = {
        {"open", files.open(gone, FileSystem::Mode::Append).error},
        {"rename", files.rename(file, gone)},
        {"remove", files.remove(gone)},
        {"truncate", files.truncate(gone, 0)},
        {"take a turn", files.takeTurn(gone).error},
    };
    for (const auto& [operation, error] : results)
        EXPECT_EQ(error, ENOENT) << operation;
}

}  // namespace
}  // namespace karune
