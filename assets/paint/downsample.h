#pragma once
// Bringing a vehicle drawn at several samples a pixel down to its keyed
// picture. Keyed pictures cannot blend with the road under them, so the
// outline is antialiased against a dark neutral instead, and a dark rim
// along it makes the vehicle read on any road it is turned over.
#include <cstdint>
#include <vector>

#include "assets/paint/linear_light.h"
#include "gfx/surface.h"

namespace paint {

struct TRimLook {
  TVec Rim;           // the outline darkens to this over about a pixel and a half
  TVec Neutral;       // what a partly covered pixel is blended towards
  uint32_t Key;       // the picture's transparent colour, which no drawn pixel takes
  int FewestSamples;  // a pixel with fewer covered samples stays transparent
};

// `colour` and `inside` hold sub x sub samples a pixel of a width x height
// picture, row by row; `distance` is each inside sample's distance, in
// samples, to the nearest one outside.
TSurface DownsampleWithRim(int width, int height, int sub, const std::vector<TVec>& colour,
                           const std::vector<uint8_t>& inside, const std::vector<double>& distance,
                           const TRimLook& look);

}  // namespace paint
