#pragma once
// A jet of flame running down a keyed pattern from its nozzle, as the nitro
// and the rocket's engine draw it: a tongue about a swaying axis, ragged at
// its sides and tip by flicker noise, thinned by dithering, hottest at the
// nozzle. The nitro's and the rocket's flames are two shapes of it.
#include <cstdint>

#include "assets/paint/race_art_pixels.h"
#include "gfx/surface.h"

namespace race_art {

// Along the jet u runs from 0 at the nozzle to 1 at the tip; across it s is
// the distance from the axis in half widths; n is the flicker, -0.5 to 0.5.
struct TFlameJet {
  int Width, Height;              // the pattern
  double NozzleY, Length;         // the jet runs down from NozzleY for Length pixels
  double (*HalfWidth)(double u);  // the tongue's outline
  // The axis sways off the pattern's middle by Sway * u * sin(u * SwayRate + SwayPhase).
  double Sway, SwayRate, SwayPhase;
  double Reach;  // the farthest s drawn
  // The flicker: noise at (x * FlickerX, y * FlickerY - FlickerDrift).
  uint32_t FlickerSeed;
  double FlickerX, FlickerY, FlickerDrift;
  // Cover (Body - s * s) * (Cover + CoverFlicker * n), fading out from
  // FadeFrom of the length to the tip.
  double Body, Cover, CoverFlicker, FadeFrom;
  double (*Heat)(double u, double s, double n);
  TRgb (*Colour)(double heat);
};

// The patterns 0 .. count - 1 side by side, each drawn from jet(pattern).
TSurface FlameJetSheet(int count, TFlameJet (*jet)(int pattern));

}  // namespace race_art
