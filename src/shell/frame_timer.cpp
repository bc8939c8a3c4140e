#include "shell/frame_timer.h"

#include <cmath>

TFrameTimer MDXTimer;

void TFrameTimer::Restart(int64_t nowMs) {
  LastTickMs = nowMs;
  MeasureStartMs = -1;
  TicksCounted = 0;
}

int TFrameTimer::NextLagCount(int64_t nowMs) {
  if (LastTickMs < 0) Restart(nowMs);
  int64_t lag = nowMs - LastTickMs;
  LastTickMs = nowMs;
  // The first tick after a start or a return of focus opens the measurement:
  // a second of steady ticking at N Hz then holds N ticks after it, not N + 1.
  if (MeasureStartMs < 0) {
    MeasureStartMs = nowMs;
  } else {
    ++TicksCounted;
    const int64_t elapsed = nowMs - MeasureStartMs;
    if (elapsed >= 1000) {
      FrameRate = static_cast<int>(std::lround(TicksCounted * 1000.0 / static_cast<double>(elapsed)));
      TicksCounted = 0;
      MeasureStartMs = nowMs;
    }
  }
  return lag < 1 ? 1 : static_cast<int>(lag);
}
