// What a killed append left beside an output file must never block or destroy that file, and a
// conversion that cannot touch the output file leaves nothing beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "linesim/VirtualClock.h"
#include "session/ConvertRecords.h"
#include "support/FakeDisplay.h"
#include "support/FakeMessages.h"
#include "support/FileBytes.h"
#include "support/HeldFiles.h"
#include "support/TempFolder.h"

namespace karune::test {
namespace {

namespace fs = std::filesystem;

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
            ASSERT_EQ(
                convertRecordsInto(folder.path() / "Back.txt", output, overWrite, all, messages),
                0);
        EXPECT_EQ(fileBytes(output), c.outputAfter);
        EXPECT_FALSE(fs::exists(folder.path() / ".DATA.txt.append"));
        EXPECT_EQ(messages.shown().size(), c.messages);
    }
}

// Another program holds the output file while a transfer ends: the conversion fails with EBUSY
// for the session to tell, and leaves the file and its folder as they were, in both modes: no
// journal that a later conversion would cut the file back to, no part file.
TEST(JournalRecovery, AnOutputFileHeldByAnotherProgramIsLeftAsItWas) {
    for (const std::int16_t overWrite : {0, 1}) {
        SCOPED_TRACE(overWrite);
        TempFolder folder;
        const fs::path output = folder.path() / "sheet.txt";
        writeFile(folder.path() / "Back.txt", "C,D\r\n");
        writeFile(output, "A,B\r\n");
        Settings settings = defaultSettings(folder.text());
        settings.OverWrite = overWrite;
        sim::VirtualClock clock;
        FakeDisplay display;
        FakeMessages messages;
        SessionFlags flags;
        HeldFiles files;
        files.held = {"sheet.txt"};
        SessionContext ctx(clock, display, messages, flags, settings, folder.path() / "Back.txt",
                           {}, files);
        ctx.outputPath = folder.text() + "/sheet.txt";

        EXPECT_FALSE(ConvertRecords(ctx));
        EXPECT_EQ(ctx.conversionError, EBUSY);
        EXPECT_EQ(fileBytes(output), "A,B\r\n");
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder.path()))
            if (e.path().filename() != kTurnFileName)
                names.push_back(e.path().filename().string());
        std::ranges::sort(names);
        EXPECT_EQ(names, (std::vector<std::string>{"Back.txt", "sheet.txt"}));
    }
}

}  // namespace
}  // namespace karune::test
