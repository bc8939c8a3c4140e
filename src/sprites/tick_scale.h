#pragma once
// How far one tick moves the world. Every per-tick movement is tuned for 85
// ticks per second and multiplied by SpeedFactor; millisecond timers and
// animations count by FrameMs per tick. The shell's frame-rate measurement
// sets both once per tick; sprites only read them.
extern double SpeedFactor;
extern int FrameMs;
