#pragma once
// A fireball seen from above, worked out per pixel: billows of fire thrown
// out from the centre swell, cool and thin away. Their summed density is
// the cloud's cover and their weighted heat its colour; smoke is lit from
// the top left by the cloud's slopes, fire glows by itself. The car's
// explosion and the rocket's blast are two kinds of it.
#include <cstdint>
#include <functional>
#include <vector>

#include "assets/paint/paint.h"
#include "assets/paint/race_art_pixels.h"

namespace race_art {

struct TBillow {
  double DirX, DirY;
  double Reach;  // how far it travels
  double Size;   // its final radius
  double Delay;  // share of the blast before it appears
  double Cooling;
  double NoiseX, NoiseY;
};

// How one kind of blast's billows move, fray and fade over a billow's own
// time tau, 0 when it appears and 1 at the blast's end.
struct TBillowing {
  double SpreadPower;           // share travelled: 1 - (1 - tau) ^ SpreadPower
  double SizeFrom, SizeGrowth;  // radius: Size * (SizeFrom + SizeGrowth * travelled)
  double Reach;                 // in radii, the farthest its frayed edge can reach
  // The edge frays by noise of this depth and scale, drifting with tau.
  double Fray, FrayScale, FrayDrift;
  double FadeFrom, FadeTo;  // it thins away over this part of its time
  // Its heat `s` radii from its centre, times `weight`, its density there.
  double (*Heat)(double weight, double tau, double s, double cooling);
};

struct TCloud {
  int Size = 0;
  std::vector<double> Density, Heat;
};

// The billows at the blast's time t (0 .. 1) over a size x size pattern
// with the blast's centre at (centre, centre). `burn` turns the billows'
// mean heat at a covered pixel's centre (px, py) into the pixel's heat:
// the rim cooling first, embers glowing on in the smoke.
TCloud BillowCloud(int size, double centre, const std::vector<TBillow>& billows, const TBillowing& how,
                   const paint::TValueNoise& noise, double t,
                   const std::function<double(double heat, double px, double py)>& burn);

// Lays the cloud over `layer`. `colour` gives the colour at a heat and an
// age (the blast's time); dense parts are heated by `glow`, and the cover
// is the density times `opacity`.
void LayCloud(TPixelLayer& layer, const TCloud& cloud, double t, TRgb (*colour)(double heat, double age),
              double glow, double opacity);

}  // namespace race_art
