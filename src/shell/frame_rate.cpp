#include "shell/frame_rate.h"

int FrameRate = 0;
int RefreshRate = 0;

// Some displays report 0 or 1 for "the default rate"; the scale would then
// run the game 85 times too fast. We take 60 Hz, the rate such displays
// nearly always run at, so a race plays at its true speed.
int UsableRefreshRate(int reported) { return reported <= 1 ? 60 : reported; }

void UpdateSpeedFactor() {
  const int f = FrameRate;
  const int r = UsableRefreshRate(RefreshRate);
  int rate = r;
  if (f > 0) rate = f;
  if (r - 3 <= f && f <= r) rate = r;
  if (f > r + 2) rate = r;
  SpeedFactor = 85.0 / rate;
  FrameMs = static_cast<int>(1000 / rate);
}
