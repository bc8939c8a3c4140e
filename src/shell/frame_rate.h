#pragma once
// The frame-rate measurement behind the tick scale (SpeedFactor, FrameMs).
#include "sprites/tick_scale.h"

extern int FrameRate;    // the frame timer's last measurement, 0 until the first
extern int RefreshRate;  // the display's refresh rate in Hz, read after every mode change

// The game is tuned at 85 ticks a second, where a tick counts 11 whole
// milliseconds: the timers run 935 ms a second there.
constexpr int TunedRate = 85;
constexpr int TunedFrameMs = 1000 / TunedRate;

// The whole milliseconds a tick counts at this rate where they keep the
// timers at least at their 85 Hz pace; 0 where they would not, and a tick
// counts the 85 Hz tick's milliseconds scaled instead, the fraction carried
// to the next (see UpdateSpeedFactor).
int WholeFrameMsAt(int rate);

// Recomputes SpeedFactor and FrameMs from FrameRate and RefreshRate (the
// frame loop does this once per tick). On a display so fast that whole
// milliseconds would slow the timers, FrameMs varies from tick to tick (it
// may be 0 above 1000 Hz) so that they keep the pace they have at 85 Hz.
void UpdateSpeedFactor();
// Forgets the milliseconds carried between ticks (a new game).
void ResetFrameMsCarry();
// The refresh rate the scale works from: the display's, or 60 Hz when the
// display reports none.
int UsableRefreshRate(int reported);
