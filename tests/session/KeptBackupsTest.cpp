// A back-up file that no conversion took holds the only copy of records the terminal was told
// were received: each one is kept under a name of its own, and converted once.
#include "session/KeptBackups.h"

#include <gtest/gtest.h>

#include "session/ConvertRecords.h"
#include "support/FakeMessages.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace karune::test {
namespace {

namespace fs = std::filesystem;

TEST(KeptBackups, EachUnconvertedBackupIsKeptApartAndConvertedOnce) {
    TempFolder home;
    const fs::path back = home.path() / "Back.txt", output = home.path() / "DATA.txt";
    FileSystem& files = systemFileSystem();
    const Settings settings = defaultSettings(home.text());
    FakeMessages messages;

    // Two transfers in one second, neither converted.
    std::vector<fs::path> kept;
    for (const char* records : {"A,1\r\n", "B,2\r\n"}) {
        writeFile(back, records);
        if (!kept.empty())
            fs::last_write_time(back, fs::last_write_time(kept[0]));
        const KeptBackup k = keepUnconverted(files, back);
        ASSERT_EQ(k.error, 0);
        EXPECT_EQ(fileBytes(back), "");  // a new one, for the next transfer
        kept.push_back(k.path);
    }
    EXPECT_EQ(kept[1].filename(), kept[0].stem().string() + "-2.txt");
    EXPECT_EQ(fileBytes(kept[0]), "A,1\r\n");
    EXPECT_EQ(fileBytes(kept[1]), "B,2\r\n");

    // The operator converts the first; doing it again finds nothing to convert twice.
    EXPECT_TRUE(ConvertBackupFile(kept[0], back, output, settings, messages, files));
    EXPECT_FALSE(ConvertBackupFile(kept[0], back, output, settings, messages, files));
    EXPECT_EQ(fileBytes(output), "A,1\r\n");
    EXPECT_TRUE(fs::exists(kept[1]));

    // A back-up file the operator converted is not kept before the next transfer; that
    // transfer's, unconverted, is.
    writeFile(back, "C,3\r\n");
    EXPECT_TRUE(ConvertBackupFile(back, back, output, settings, messages, files));
    EXPECT_EQ(keepUnconverted(files, back).path, fs::path());
    EXPECT_EQ(fileBytes(back), "");  // emptied for the next transfer, its records converted
    EXPECT_EQ(fileBytes(output), "A,1\r\nC,3\r\n");
    // Converted, then deleted by hand: put back before the marker goes.
    ASSERT_EQ(markConverted(files, back), 0);
    fs::remove(back);
    EXPECT_EQ(keepUnconverted(files, back).error, 0);
    EXPECT_TRUE(fs::exists(back));
    writeFile(back, "D,4\r\n");
    EXPECT_NE(keepUnconverted(files, back).path, fs::path());
}

}  // namespace
}  // namespace karune::test
