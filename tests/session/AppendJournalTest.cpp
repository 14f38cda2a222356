// An append that was killed half-way (power cut, SIGKILL) must not leave its partial block in the
// output file for good: the next conversion into that file cuts it off before appending.
#include <gtest/gtest.h>

#include "session/ConvertRecords.h"
#include "support/FakeMessages.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace karune::test {
namespace {

struct InterruptedAppend {
    const char* name;
    const char* journal;       // what the killed conversion left beside the output file
    const char* outputBefore;  // the output file as the kill left it; nullptr: none
    const char* outputAfter;   // after the next conversion of "C,D"
};

TEST(AppendJournal, NextConversionCutsOffTheBlockOfAKilledOne) {
    const InterruptedAppend cases[] = {
        {"partial block after old lines", "5\n", "A,B\r\nX,Y\r\nP", "A,B\r\nC,D\r\n"},
        {"file that did not exist before", "absent\n", "X,Y\r\n", "C,D\r\n"},
        {"killed before the first byte", "5\n", "A,B\r\n", "A,B\r\nC,D\r\n"},
    };
    for (const InterruptedAppend& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const auto output = folder.path() / "DATA.txt";
        const auto backup = folder.path() / "Back.txt";
        writeFile(backup, "C,D\r\n");
        writeFile(folder.path() / ".DATA.txt.append", c.journal);
        if (c.outputBefore != nullptr)
            writeFile(output, c.outputBefore);
        FieldFlags all{};
        all.fill(1);
        FakeMessages messages;

        ASSERT_TRUE(ConvertRecords(backup, output, 0, all, messages));
        EXPECT_EQ(fileBytes(output), c.outputAfter);
        EXPECT_FALSE(std::filesystem::exists(folder.path() / ".DATA.txt.append"));
    }
}

TEST(AppendJournal, NoJournalIsLeftAfterAFailedAppend) {
    TempFolder folder;
    const auto output = folder.path() / "DATA.txt";
    writeFile(output, "A,B\r\n");
    FieldFlags all{};
    all.fill(1);
    FakeMessages messages;

    EXPECT_FALSE(ConvertRecords(folder.path() / "missing.txt", output, 0, all, messages));
    EXPECT_EQ(fileBytes(output), "A,B\r\n");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / ".DATA.txt.append"));
}

}  // namespace
}  // namespace karune::test
