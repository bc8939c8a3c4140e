#include "assets/paint/flame_jet.h"

#include <cmath>
#include <vector>

#include "assets/paint/paint.h"

namespace race_art {

namespace {

TSurface FlameJet(const TFlameJet& jet) {
  const paint::TValueNoise flicker(jet.FlickerSeed);
  TPixelLayer layer(jet.Width, jet.Height);
  for (int y = 0; y < jet.Height; ++y)
    for (int x = 0; x < jet.Width; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      const double u = (py - jet.NozzleY) / jet.Length;
      if (u < 0 || u > 1) continue;
      const double width = jet.HalfWidth(u);
      const double axis = jet.Width / 2.0 + jet.Sway * u * std::sin(u * jet.SwayRate + jet.SwayPhase);
      const double s = std::abs(px - axis) / width;
      if (s >= jet.Reach) continue;
      const double n = flicker.Fbm(px * jet.FlickerX, py * jet.FlickerY - jet.FlickerDrift, 3) - 0.5;
      const double cover =
          (jet.Body - s * s) * (jet.Cover + jet.CoverFlicker * n) * (1 - Smooth(jet.FadeFrom, 1.0, u));
      layer.Over(x, y, jet.Colour(jet.Heat(u, s, n)), cover);
    }
  return layer.Keyed(true);
}

}  // namespace

TSurface FlameJetSheet(int count, TFlameJet (*jet)(int pattern)) {
  std::vector<TSurface> patterns;
  for (int p = 0; p < count; ++p) patterns.push_back(FlameJet(jet(p)));
  return PatternRow(patterns);
}

}  // namespace race_art
