// The --convert recovery: the back-up file of the home folder into a given output file.

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "integration/IntegrationSupport.h"

namespace karune::test {
namespace {

std::unique_ptr<ChildProcess> startConvert(const Home& home, const std::filesystem::path& output) {
    return std::make_unique<ChildProcess>(
        modemProgram(),
        std::vector<std::string>{"--convert", output.string(), "--home", home.dir.string()});
}

// Where two byte strings first differ, for messages that must not print megabytes.
std::string firstDifference(const std::string& actual, const std::string& expected) {
    if (actual == expected)
        return "";
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return "sizes " + std::to_string(actual.size()) + " and " + std::to_string(expected.size()) +
           ", first difference at byte " + std::to_string(at);
}

// The modes and the field selection belong to the conversion's own tests; this is the command.
TEST(Integration, ConvertAppendsTheSelectedFields) {
    Home home;
    SettingsLine settings;
    settings.fields.fill(0);
    settings.fields[0] = 1;
    settings.fields[2] = 1;
    home.write(settings);
    writeFile(home.backFile(), cp932("A,B,C,D\r\nｶﾅ,x,表ソ①\r\n,b,c\r\n\r\nA,B,,D\r\n"));
    const auto output = home.out / "recovered.txt";
    writeFile(output, "old\r\n");

    auto convert = startConvert(home, output);
    EXPECT_EQ(convert->waitForExit(30s), 0) << convert->errorOutput();
    EXPECT_EQ(fileBytes(output), cp932("old\r\nA,C\r\nｶﾅ,表ソ①\r\n,c\r\n\r\nA\r\n"));
}

TEST(Integration, ConvertWithoutBackupFileFailsAndLeavesTheOutputAlone) {
    Home home;
    home.write(SettingsLine{});
    const auto output = home.out / "recovered.txt";
    writeFile(output, "old\r\n");

    auto convert = startConvert(home, output);
    EXPECT_EQ(convert->waitForExit(30s), 1);
    EXPECT_FALSE(convert->errorOutput().empty());
    EXPECT_EQ(fileBytes(output), "old\r\n");
}

// Waits, without polling, for a write into a file of `folder` whose name `wanted` accepts.
class FolderWatch {
public:
    explicit FolderWatch(const std::filesystem::path& folder) {
        fd_ = ::inotify_init1(IN_CLOEXEC);
        if (fd_ >= 0)
            ::inotify_add_watch(fd_, folder.c_str(), IN_MODIFY);
    }
    ~FolderWatch() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    bool waitForWrite(const std::function<bool(const std::string&)>& wanted,
                      std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        alignas(inotify_event) char buffer[4096];
        while (fd_ >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) != 1)
                return false;
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            for (ssize_t at = 0; at < n;) {
                inotify_event event;
                std::memcpy(&event, buffer + at, sizeof event);
                const std::string name(buffer + at + sizeof event);
                if (event.len > 0 && wanted(name))
                    return true;
                at += static_cast<ssize_t>(sizeof event + event.len);
            }
        }
        return false;
    }

private:
    int fd_ = -1;
};

// About 100 MB of records with every field selected, so that the output lines equal the back-up
// lines.
std::string largeBackup() {
    const std::string tail =
        cp932(",ｶﾀｶﾅ,表示ソ①,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefghijklmno\r\n");
    std::string bytes;
    bytes.reserve(105'000'000);
    char number[16];
    for (int i = 0; bytes.size() < 100'000'000; ++i) {
        std::snprintf(number, sizeof number, "%09d", i);
        bytes.append(number).append(tail);
    }
    return bytes;
}

class KilledConversion : public ::testing::TestWithParam<int> {};

TEST_P(KilledConversion, LeavesTheOldOutputWholeAndARerunCompletesIt) {
    const int overWrite = GetParam();
    Home home;
    SettingsLine settings;
    settings.overWrite = overWrite;
    home.write(settings);
    const std::string backup = largeBackup();
    writeFile(home.backFile(), backup);
    const auto output = home.out / "recovered.txt";
    const std::string previous = cp932("前回の記録,1\r\n");
    writeFile(output, previous);

    {
        // Converted lines land in the output file itself when appending, in a hidden file beside
        // it when replacing.
        FolderWatch watch(home.out);
        auto convert = startConvert(home, output);
        ASSERT_TRUE(watch.waitForWrite(
            [](const std::string& name) {
                return name == "recovered.txt" || name.find(".part") != std::string::npos;
            },
            30'000ms))
            << "the conversion never wrote";
        ASSERT_TRUE(convert->signal(SIGKILL)) << "the conversion ended before the kill";
        EXPECT_EQ(convert->waitForExit(10s), 128 + SIGKILL);
    }
    const std::string afterKill = fileBytes(output);
    if (overWrite == 1) {
        EXPECT_EQ(firstDifference(afterKill, previous), "");
    } else {
        // An unfinished append stays visible until the next conversion into the file cuts it
        // off; what is there must still begin with the whole old content.
        EXPECT_EQ(firstDifference(afterKill.substr(0, previous.size()), previous), "");
        EXPECT_LT(afterKill.size(), previous.size() + backup.size()) << "the kill came too late";
    }

    auto rerun = startConvert(home, output);
    EXPECT_EQ(rerun->waitForExit(120s), 0) << rerun->errorOutput();
    const std::string expected = overWrite == 1 ? backup : previous + backup;
    EXPECT_EQ(firstDifference(fileBytes(output), expected), "");
    // Whatever the killed run left beside the output (a partial copy, a journal) is gone once a
    // conversion into that file has completed; a crash must not cost its size in disk for ever.
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(home.out))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"recovered.txt"});
}

INSTANTIATE_TEST_SUITE_P(Integration, KilledConversion, ::testing::Values(0, 1), [](const auto& p) {
    return p.param == 1 ? std::string("Replacing") : std::string("Appending");
});

}  // namespace
}  // namespace karune::test
