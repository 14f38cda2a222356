#include "Turnaround.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>

namespace karune::bench {
namespace {

struct FloorCase {
    std::size_t lineBytes;
    bool crAlone;
    double expectedMs;
};

class TurnaroundFloorTest : public ::testing::TestWithParam<FloorCase> {};

// 38400 baud carries 3840 bytes a second; the frame with its CR plus "ACK" CR, and 100 ms of
// silence unless the CR came alone.
TEST_P(TurnaroundFloorTest, LineTimeOfFrameAndAckPlusTheQuietGapWhenDue) {
    const FloorCase& c = GetParam();
    EXPECT_NEAR(turnaroundFloor(c.lineBytes, c.crAlone).count() / 1000.0, c.expectedMs, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Lines, TurnaroundFloorTest,
                         ::testing::Values(FloorCase{46, true, 50.0 / 3.84},
                                           FloorCase{46, false, 100.0 + 50.0 / 3.84},
                                           FloorCase{0, true, 4.0 / 3.84},
                                           FloorCase{3836, true, 1000.0}),
                         [](const ::testing::TestParamInfo<FloorCase>& param) {
                             return std::to_string(param.param.lineBytes) +
                                    (param.param.crAlone ? "BytesCrAlone" : "BytesCrJoined");
                         });

TEST(OverheadTest, ChargesTheQuietGapOnlyWhenTheCrCameWithOtherBytes) {
    RecordTiming alone{46, true, Micros{13'500}, Micros{300}};
    RecordTiming joined{46, false, Micros{113'500}, Micros{100'400}};
    EXPECT_DOUBLE_EQ(overhead(alone).count(), 300.0);
    EXPECT_DOUBLE_EQ(overhead(joined).count(), 400.0);
}

TEST(OverheadTest, ALoneCrAnsweredLateCountsInFull) {
    RecordTiming missed{46, true, Micros{113'500}, Micros{100'200}};
    EXPECT_DOUBLE_EQ(overhead(missed).count(), 100'200.0);
}

TEST(SpreadTest, NearestRankPercentilesOfUnsortedValues) {
    const Spread s = spreadOf({5, 1, 4, 2, 3});
    EXPECT_DOUBLE_EQ(s.mean, 3.0);
    EXPECT_DOUBLE_EQ(s.p50, 3.0);
    EXPECT_DOUBLE_EQ(s.p99, 5.0);
    EXPECT_DOUBLE_EQ(s.max, 5.0);
}

TEST(SpreadTest, OneOutlierInAHundredStaysOutOfTheP99) {
    std::vector<double> values(100);
    std::iota(values.begin(), values.end(), 1.0);
    values.back() = 1000.0;
    const Spread s = spreadOf(values);
    EXPECT_DOUBLE_EQ(s.p99, 99.0);
    EXPECT_DOUBLE_EQ(s.max, 1000.0);
}

TEST(SpreadTest, NoValuesGiveZeros) {
    const Spread s = spreadOf({});
    EXPECT_EQ(s.mean, 0.0);
    EXPECT_EQ(s.max, 0.0);
}

}  // namespace
}  // namespace karune::bench
