#include <gtest/gtest.h>

#include <vector>

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

// Whole milliseconds cut from every tick would slow the timers more the
// faster the display: by half at 501 Hz, to a standstill above 1000 Hz. A
// second of ticks counts between the 85 Hz pace (11 ms a tick) and the
// true 1000 ms, with no tick longer than its share.
TEST(FrameMsTest, ASecondOfTicksCountsASecondAtAnyRate) {
  for (const int hz : {30, 60, 85, 100, 144, 170, 250, 360, 500, 540, 999, 1000, 1001, 2000, 4000}) {
    ResetFrameMsCarry();
    RefreshRate = hz;
    FrameRate = hz;
    int counted = 0;
    for (int tick = 0; tick < hz; ++tick) {
      UpdateSpeedFactor();
      EXPECT_LE(FrameMs, 1000 / hz + 1) << hz << " Hz";
      counted += FrameMs;
    }
    EXPECT_GE(counted, 935 - 1) << hz << " Hz";
    EXPECT_LE(counted, 1000) << hz << " Hz";
  }
  ResetFrameMsCarry();
}

TEST(FrameTimerTest, LagIsAtLeastOneAndCountsFromThePreviousTick) {
  TFrameTimer t;
  EXPECT_EQ(t.NextLagCount(1000), 1);  // the first tick has no predecessor
  EXPECT_EQ(t.NextLagCount(1000), 1);
  EXPECT_EQ(t.NextLagCount(1020), 20);
  EXPECT_EQ(t.FrameRate, 0) << "no second has passed yet";
  t.Restart(5000);
  EXPECT_EQ(t.NextLagCount(5003), 3);  // reactivation: no long lag
}

// Under steady ticking the measured rate is the ticking rate, for the first
// second, every second after it, and the first second after a return of
// focus. Tick k comes at the whole millisecond k * 1000 / Hz after the start.
TEST(FrameTimerTest, SteadyTickingMeasuresItsOwnRate) {
  for (const int hz : {85, 60, 100}) {
    TFrameTimer t;
    const int64_t start = 10000;
    int firstRate = 0;
    std::vector<int> rates;
    for (int k = 0; k <= 3 * hz; ++k) {
      t.NextLagCount(start + k * 1000 / hz);
      if (t.FrameRate != 0 && firstRate == 0) firstRate = t.FrameRate;
      if (k % hz == 0 && k > 0) rates.push_back(t.FrameRate);
    }
    EXPECT_EQ(firstRate, hz) << "the first second at " << hz << " Hz";
    for (int r : rates) EXPECT_EQ(r, hz) << hz << " Hz";
    // Another program had the focus for a while; ticking resumes at once.
    const int64_t back = start + 60000;
    t.Restart(back);
    t.FrameRate = 0;
    for (int k = 0; k <= hz + 1; ++k) t.NextLagCount(back + k * 1000 / hz);
    EXPECT_EQ(t.FrameRate, hz) << "the first second after the focus came back, " << hz << " Hz";
  }
}

}  // namespace
