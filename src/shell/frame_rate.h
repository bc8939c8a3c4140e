#pragma once
// The frame-rate measurement behind the tick scale (SpeedFactor, FrameMs).
#include "sprites/tick_scale.h"

extern int FrameRate;    // the frame timer's last measurement, 0 until the first
extern int RefreshRate;  // the display's refresh rate in Hz, read after every mode change

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
