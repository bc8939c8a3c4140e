#pragma once
// The race's dashboard on the right of the screen (image list 2): "Panel"
// (182 x 592, drawn at (610, 0)) with its display windows, icon sockets,
// progress groove and speedometer dial; the needle "Pointer" (64 x 7, its
// pivot just right of its right end, landing on the dial's centre at
// (705, 516)); the progress marker "SmallCar" (14 x 24); and "Energy", the
// damage display set into the dial's foot (56 x 18, four patterns from
// intact to one hit from a wreck).
#include <string>

#include "assets/catalog.h"

void AddPanelArt(TImageItems& res2);
// The dashboard as the race shows it, texts printed by the game's own text
// code, with the needle at rest, at mid scale and at top speed, and a
// close-up of the dial and of every damage pattern.
void WritePanelPreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir);
