#pragma once
// The roadside lamps and the finish line (image list 2). Each lamp picture
// is drawn with its top at the top edge of a road-edge tile; the post, the
// point a car crashes into, stands where the picture keeps it: "Lamp_L" at
// (0, 9), "Lamp_R" at (84, 9), "Lamp_RL" at (1, 1), "Lamp_RR" at (73, 41),
// "Lamp_LR" at (74, 1), "Lamp_LL" at (0, 40). From the post an arm reaches
// over the road to the lamp head. "FinishLine" is a 72 x 24 chequered strip
// laid across the road's inner columns.
#include <string>

#include "assets/catalog.h"

void AddLampArt(TImageItems& res2);
// Lamps over a straight road and both kinds of step, with the finish line.
void WriteLampPreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir);
