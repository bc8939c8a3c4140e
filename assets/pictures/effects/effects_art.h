#pragma once
// The race's effects (image list 2): the big explosion of a wrecked car
// ("ExplosionBig", 64 x 64 frames), the nitro flame ("NitroAnim", 16 x 51,
// pointing down out of the car's rear) and the marks a car leaves on the
// road ("Handbrake" tyre marks, "Blood"), both drawn turned at 10 x 14.
#include <string>

#include "assets/catalog.h"

void AddEffectArt(TImageItems& res2);
// The explosion's frames in a strip, the flame's patterns and the marks,
// over asphalt, enlarged.
void WriteEffectPreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir);
