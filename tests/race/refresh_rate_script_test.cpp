// The same race on displays from 30 to 2000 Hz: the level message, the
// clock and the car keep to the player's seconds, not to the display's
// ticks. Each rate runs the whole game headless through the script runner.
#include <gtest/gtest.h>

#include <string>

#include "support/script_support.h"

namespace {

// The race's start from the car selection, the level message open.
const std::string ToRace = "seed 5\nwait 50\nmouse 400 60\nwait 1\nclick\nwait 2\nkey down Enter\nkey up Enter\nwait 1\n";

std::string Wait(int hz, double seconds) { return "wait " + std::to_string(static_cast<int>(hz * seconds)) + "\n"; }

struct TRun {
  double MessageOpenAt195, MessageOpenAt220;  // OverlayWindow
  double TimeAfterMessage, SpeedAfter1s, TimeAfter1s, SpeedAfter3s, TimeAfter3s;
};

// Up is pressed 2.2 s into the level and held for 3 s.
TRun Drive(int hz) {
  const TScriptResult r = RunScript("refresh " + std::to_string(hz) + "\n" + ToRace + Wait(hz, 1.95) + "dump\n" +
                                    Wait(hz, 0.25) + "dump\nkey down Up\n" + Wait(hz, 1) + "dump\n" + Wait(hz, 2) +
                                    "dump\n");
  EXPECT_EQ(r.ExitCode, 0) << r.Output;
  if (r.Dumps.size() != 4u) {
    ADD_FAILURE() << r.Output;
    return {};
  }
  return {JsonNumber(r.Dumps[0], "OverlayWindow"), JsonNumber(r.Dumps[1], "OverlayWindow"),
          JsonNumber(r.Dumps[1], "TimeLeft"),      JsonNumber(r.Dumps[2], "Speed"),
          JsonNumber(r.Dumps[2], "TimeLeft"),      JsonNumber(r.Dumps[3], "Speed"),
          JsonNumber(r.Dumps[3], "TimeLeft")};
}

// The pace the game is tuned at: the 85 Hz car and clock.
const TRun& At85() {
  static const TRun run = Drive(85);
  return run;
}

class RefreshRates : public ::testing::TestWithParam<int> {};

TEST_P(RefreshRates, TheRacePlaysInTheSameSeconds) {
  const int hz = GetParam();
  const TRun run = Drive(hz);

  // The level message shows for 2000 ms of the clock's time.
  EXPECT_EQ(run.MessageOpenAt195, 6) << "the level message is still up after 1.95 s";
  EXPECT_EQ(run.MessageOpenAt220, 0) << "the level message has closed after 2.2 s";
  EXPECT_LT(run.TimeAfterMessage, 54000) << "the clock runs once the message has gone";
  EXPECT_GT(run.TimeAfterMessage, 54000 - 300) << "the clock stands still under the message";

  // From a standstill the car gains 0.3 a tick at 85 ticks a second, 25.5 a
  // second; the press comes in on the next tick, so up to one tick's worth
  // less (the dump keeps four digits).
  EXPECT_LE(run.SpeedAfter1s, 25.5 + 0.01);
  EXPECT_GE(run.SpeedAfter1s, 25.5 - 0.3 * 85.0 / hz - 0.01);
  EXPECT_NEAR(run.SpeedAfter3s, At85().SpeedAfter3s, 0.5) << "three seconds of Up";

  // The clock runs between its 85 Hz pace (11 ms a tick, 935 ms a second)
  // and the true one.
  const double ranIn2s = run.TimeAfter1s - run.TimeAfter3s;
  EXPECT_GE(ranIn2s, 2 * 935);
  EXPECT_LE(ranIn2s, 2 * 1000);
}

INSTANTIATE_TEST_SUITE_P(Displays, RefreshRates, ::testing::Values(30, 60, 85, 144, 250, 360, 500, 540, 1000, 2000),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param) + "Hz"; });

}  // namespace
