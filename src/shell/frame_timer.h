#pragma once
// MDXTimer's measurements. The platform pushes the clock in (milliseconds)
// before each tick; the timer answers with LagCount and keeps FrameRate.
#include <cstdint>

struct TFrameTimer {
  // Milliseconds since the previous tick, at least 1; updates FrameRate once
  // a second has passed since the last measurement.
  int NextLagCount(int64_t nowMs);
  // Both clocks start again, as when the application becomes active.
  void Restart(int64_t nowMs);

  int FrameRate = 0;
  int64_t LastTickMs = -1;
  int64_t MeasureStartMs = -1;  // -1 until the first tick after a (re)start
  int TicksCounted = 0;
};

extern TFrameTimer MDXTimer;
