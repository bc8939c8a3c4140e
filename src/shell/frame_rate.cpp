#include "shell/frame_rate.h"

int FrameRate = 0;
int RefreshRate = 0;

// Some displays report 0 or 1 for "the default rate"; the scale would then
// run the game 85 times too fast. We take 60 Hz, the rate such displays
// nearly always run at, so a race plays at its true speed.
int UsableRefreshRate(int reported) { return reported <= 1 ? 60 : reported; }

namespace {

constexpr int TunedPace = TunedFrameMs * TunedRate;

// Milliseconds owed to the timers but not yet handed out in a whole tick.
double MsCarried = 0;

// Whole milliseconds a tick counts at this rate. Cutting 1000 / rate to
// whole milliseconds loses a growing share of every tick as the display gets
// faster: half of it at 501 Hz, all of it above 1000 Hz, where the timers
// would stand still. Wherever the cut leaves the timers at least their 85 Hz
// pace it stands; otherwise a tick counts the 85 Hz tick's milliseconds
// scaled like every movement, and the fraction left over is carried to the
// next tick.
int FrameMsAt(int rate, double speedFactor) {
  if (const int whole = WholeFrameMsAt(rate)) {
    MsCarried = 0;
    return whole;
  }
  MsCarried += TunedFrameMs * speedFactor;
  const int ms = static_cast<int>(MsCarried);
  MsCarried -= ms;
  return ms;
}

}  // namespace

int WholeFrameMsAt(int rate) {
  const int whole = 1000 / rate;
  return whole * rate >= TunedPace ? whole : 0;
}

void ResetFrameMsCarry() { MsCarried = 0; }

void UpdateSpeedFactor() {
  const int f = FrameRate;
  const int r = UsableRefreshRate(RefreshRate);
  int rate = r;
  if (f > 0) rate = f;
  if (r - 3 <= f && f <= r) rate = r;
  if (f > r + 2) rate = r;
  SpeedFactor = 85.0 / rate;
  FrameMs = FrameMsAt(rate, SpeedFactor);
}
