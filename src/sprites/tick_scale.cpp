#include "sprites/tick_scale.h"

double SpeedFactor = 1.0;
int FrameMs = 15;
