#include <gtest/gtest.h>

#include "shell/frame_rate.h"
#include "shell/frame_timer.h"

namespace {

struct TRateCase {
  int Refresh;
  int Measured;
  double Speed;
  int Ms;
};

void PrintTo(const TRateCase& c, std::ostream* os) { *os << c.Refresh << " Hz, measured " << c.Measured; }

class SpeedFactorTest : public ::testing::TestWithParam<TRateCase> {};

TEST_P(SpeedFactorTest, UsesMeasuredRateOnlyWellBelowOrJustAboveRefresh) {
  const TRateCase c = GetParam();
  RefreshRate = c.Refresh;
  FrameRate = c.Measured;
  UpdateSpeedFactor();
  EXPECT_DOUBLE_EQ(SpeedFactor, c.Speed);
  EXPECT_EQ(FrameMs, c.Ms);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, SpeedFactorTest,
    ::testing::Values(TRateCase{85, 0, 1.0, 11}, TRateCase{60, 0, 85.0 / 60, 16}, TRateCase{85, 82, 1.0, 11},
                      TRateCase{85, 83, 1.0, 11}, TRateCase{85, 84, 1.0, 11}, TRateCase{85, 85, 1.0, 11},
                      TRateCase{85, 86, 85.0 / 86, 11}, TRateCase{85, 87, 85.0 / 87, 11}, TRateCase{85, 88, 1.0, 11},
                      TRateCase{85, 200, 1.0, 11}, TRateCase{85, 81, 85.0 / 81, 12},
                      TRateCase{60, 40, 2.125, 25},
                      // A display that reports no rate is taken as 60 Hz.
                      TRateCase{0, 0, 85.0 / 60, 16}, TRateCase{1, 0, 85.0 / 60, 16}, TRateCase{1, 59, 85.0 / 60, 16},
                      TRateCase{0, 30, 85.0 / 30, 33}));

TEST(FrameTimerTest, LagIsAtLeastOneAndRateIsMeasuredEverySecond) {
  TFrameTimer t;
  EXPECT_EQ(t.NextLagCount(1000), 1);  // the first tick has no predecessor
  EXPECT_EQ(t.NextLagCount(1000), 1);
  EXPECT_EQ(t.FrameRate, 0);
  int64_t now = 1000;
  for (int i = 0; i < 50; ++i) EXPECT_EQ(t.NextLagCount(now += 20), 20);
  EXPECT_EQ(t.FrameRate, 52);  // 52 ticks counted in the first 1000 ms
  t.Restart(5000);
  EXPECT_EQ(t.NextLagCount(5003), 3);  // reactivation: no long lag
}

}  // namespace
