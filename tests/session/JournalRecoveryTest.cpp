// What a killed append left beside an output file must never block or destroy that file.
#include <gtest/gtest.h>

#include <vector>

#include "session/ConvertRecords.h"
#include "support/FakeMessages.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace karune::test {
namespace {

TEST(JournalRecovery, NeverBlocksNorDestroysTheOutputFile) {
    const struct {
        const char* name;
        const char* journal;
        const char* outputBefore;              // nullptr: none
        std::vector<std::int16_t> overWrites;  // one conversion of "C,D" each
        const char* outputAfter;
        std::size_t messages;
    } cases[] = {
        {"output file taken away since", "5\n", nullptr, {0}, "C,D\r\n", 0},
        {"journal cut before its flush", "", "A,B\r\nX,Y\r\n", {0}, "A,B\r\nX,Y\r\nC,D\r\n", 1},
        {"replace, then append", "2\n", "A,B\r\nX,Y\r\n", {1, 0}, "C,D\r\nC,D\r\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const auto output = folder.path() / "DATA.txt";
        writeFile(folder.path() / "Back.txt", "C,D\r\n");
        writeFile(folder.path() / ".DATA.txt.append", c.journal);
        if (c.outputBefore != nullptr)
            writeFile(output, c.outputBefore);
        FieldFlags all{};
        all.fill(1);
        FakeMessages messages;

        for (const std::int16_t overWrite : c.overWrites)
            ASSERT_TRUE(
                ConvertRecords(folder.path() / "Back.txt", output, overWrite, all, messages));
        EXPECT_EQ(fileBytes(output), c.outputAfter);
        EXPECT_FALSE(std::filesystem::exists(folder.path() / ".DATA.txt.append"));
        EXPECT_EQ(messages.shown().size(), c.messages);
    }
}

}  // namespace
}  // namespace karune::test
