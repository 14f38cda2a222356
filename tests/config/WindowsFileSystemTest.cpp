// The file seam on Windows: folders deeper than 260 characters, working files hidden, and a file
// that another program holds reported as busy. Wine shows every name that starts with a dot as
// hidden, so a file's own attribute is read after moving it to a plain name.
#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "config/FileCommits.h"
#include "config/StdioFile.h"
#include "support/TempFolder.h"

namespace karune {
namespace {

namespace fs = std::filesystem;

TEST(WindowsFileSystem, PathsTakeTheFormThatHasNoLengthLimit) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\data\\out.txt", L"\\\\?\\C:\\data\\out.txt"},
        {L"C:/data/./x/../out.txt", L"\\\\?\\C:\\data\\out.txt"},
        {L"\\\\server\\share\\out.txt", L"\\\\?\\UNC\\server\\share\\out.txt"},
        {L"\\\\?\\D:\\out.txt", L"\\\\?\\D:\\out.txt"},
        {L"out.txt", L"out.txt"},
    };
    for (const auto& [path, form] : cases)
        EXPECT_EQ(win32Path(path), form) << fs::path(path).string();
}

bool hiddenOnceRenamed(const fs::path& file) {
    const std::wstring plain = win32Path(file.parent_path() / L"probe.txt");
    const bool moved = MoveFileExW(win32Path(file).c_str(), plain.c_str(), 0);
    const DWORD attributes = GetFileAttributesW(plain.c_str());
    MoveFileExW(plain.c_str(), win32Path(file).c_str(), 0);
    return moved && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

std::string contentOf(const fs::path& file) {
    const StdioFile in = openStdioFile(file, "rb");
    char text[64];
    return in ? std::string(text, std::fread(text, 1, sizeof text, in.get())) : "(none)";
}

TEST(WindowsFileSystem, DeepFoldersHiddenWorkingFilesAndFilesHeldByAnotherProgram) {
    test::TempFolder dir;
    fs::path deep = dir.path();
    for (wchar_t c = L'a'; deep.native().size() < 300; ++c)
        deep /= std::wstring(40, c);
    FileSystem& files = systemFileSystem();
    ASSERT_EQ(createFolders(files, deep / L"受信"), 0);
    deep /= L"受信";
    ASSERT_TRUE(fileStatus(deep).folder);

    // The working files of a replacement and an append, and the turn, each hidden; the file they
    // serve not.
    const fs::path output = deep / L"sheet.txt";
    ASSERT_EQ(replaceWhole(files, output, "A\r\n"), 0);
    {
        JournaledAppend append(files, output);
        ASSERT_EQ(append.error(), 0);
        EXPECT_TRUE(hiddenOnceRenamed(deep / L".sheet.txt.append"));
        ASSERT_EQ(append.content().write("B\r\n"), 0);
        ASSERT_EQ(append.commit(), 0);
    }
    EXPECT_EQ(contentOf(output), "A\r\nB\r\n");
    EXPECT_EQ(fileStatus(output).size, 6u);
    EXPECT_FALSE(lastWriteStamp(output).empty());
    EXPECT_FALSE(hiddenOnceRenamed(output));
    ASSERT_EQ(files.takeTurn(deep).error, 0);
    EXPECT_TRUE(hiddenOnceRenamed(deep / kTurnFileName));

    // A spreadsheet lets others only read the file it shows.
    const HANDLE sheet = CreateFileW(win32Path(output).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(sheet, INVALID_HANDLE_VALUE);
    EXPECT_EQ(files.open(output, FileSystem::Mode::Append).error, EBUSY);
    EXPECT_EQ(checkWritable(output), EBUSY);
    EXPECT_EQ(Replacement(files, output).error(), EBUSY);
    FileSystem::Opened other = files.open(deep / L".other.part", FileSystem::Mode::Empty);
    ASSERT_EQ(other.error, 0);
    other.file.reset();
    EXPECT_EQ(files.rename(deep / L".other.part", output), EBUSY);
    EXPECT_EQ(files.truncate(output, 0), EBUSY);
    EXPECT_EQ(files.remove(output), EBUSY);
    CloseHandle(sheet);
    EXPECT_EQ(contentOf(output), "A\r\nB\r\n");
    EXPECT_EQ(files.rename(deep / L".other.part", output), 0);
    EXPECT_FALSE(hiddenOnceRenamed(output));
}

}  // namespace
}  // namespace karune
