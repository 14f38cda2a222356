#include "ProcessStats.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <vector>

namespace karune::bench {
namespace {

TEST(CpuTicksTest, SumsUtimeAndStimeAfterACommandWithSpacesAndParentheses) {
    const std::string stat =
        "4242 (odd) name) S 1 4242 4242 0 -1 4194560 120 0 0 0 7 5 0 0 20 0 3 0 99 1 2\n";
    EXPECT_EQ(cpuTicksFromStat(stat), 12);
}

TEST(CpuTicksTest, TruncatedOrGarbledStatGivesNothing) {
    EXPECT_FALSE(cpuTicksFromStat("4242 (x) S 1 2 3"));
    EXPECT_FALSE(cpuTicksFromStat("4242 x S 1 2 3 4 5 6 7 8 9 10 11 12"));
    EXPECT_FALSE(cpuTicksFromStat("4242 (x) S 1 2 3 4 5 6 7 8 9 10 a b 13"));
}

TEST(StatusValueTest, FindsTheNamedFieldOnly) {
    const std::string status = "Name:\tx\nVmPeak:\t  9000 kB\nVmHWM:\t  1234 kB\nVmRSS:\t 999 kB\n";
    EXPECT_EQ(statusValueFromText(status, "VmHWM"), 1234);
    EXPECT_EQ(statusValueFromText(status, "VmRSS"), 999);
    EXPECT_FALSE(statusValueFromText(status, "VmSwap"));
    EXPECT_FALSE(statusValueFromText(status, "Vm"));
}

TEST(LiveProcessTest, OwnCpuTimeGrowsWithWork) {
    const std::optional<long long> before = cpuTicks(::getpid());
    ASSERT_TRUE(before);
    // Spin for CPU time, not wall time: on a loaded machine 60 ms of wall time may bring no tick.
    const std::clock_t start = std::clock();
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    volatile unsigned spin = 0;
    while (std::clock() - start < CLOCKS_PER_SEC / 20 && std::chrono::steady_clock::now() < giveUp)
        spin = spin + 1;
    const std::optional<long long> after = cpuTicks(::getpid());
    ASSERT_TRUE(after);
    EXPECT_GE(*after - *before, 1);
}

TEST(LiveProcessTest, SleepingWakesTheProcessUp) {
    const std::optional<long long> before = contextSwitches(::getpid());
    ASSERT_TRUE(before);
    for (int i = 0; i < 5; ++i)
        ::usleep(1000);
    const std::optional<long long> after = contextSwitches(::getpid());
    ASSERT_TRUE(after);
    EXPECT_GE(*after - *before, 5);
}

TEST(LiveProcessTest, PeakResidentSetCoversATouchedBlock) {
    std::vector<char> block(32 << 20);
    for (std::size_t i = 0; i < block.size(); i += 4096)
        block[i] = 1;
    const std::optional<long long> hwm = statusValue(::getpid(), "VmHWM");
    ASSERT_TRUE(hwm);
    EXPECT_GE(*hwm, 32 * 1024);
}

}  // namespace
}  // namespace karune::bench
