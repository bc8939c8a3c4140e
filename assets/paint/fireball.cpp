#include "assets/paint/fireball.h"

#include <algorithm>
#include <cmath>

namespace race_art {

TCloud BillowCloud(int size, double centre, const std::vector<TBillow>& billows, const TBillowing& how,
                   const paint::TValueNoise& noise, double t,
                   const std::function<double(double heat, double px, double py)>& burn) {
  const int n = size;
  TCloud cloud;
  cloud.Size = n;
  cloud.Density.assign(static_cast<size_t>(n) * n, 0.0);
  cloud.Heat.assign(cloud.Density.size(), 0.0);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      double d = 0, h = 0;
      for (const TBillow& b : billows) {
        if (t < b.Delay) continue;
        const double tau = Clamp01((t - b.Delay) / (1 - b.Delay));
        const double spread = 1 - std::pow(1 - tau, how.SpreadPower);
        const double cx = centre + b.DirX * b.Reach * spread;
        const double cy = centre + b.DirY * b.Reach * spread;
        const double r = b.Size * (how.SizeFrom + how.SizeGrowth * spread);
        double s = std::hypot(px - cx, py - cy) / r;
        if (s > how.Reach) continue;
        // Ragged, rolling edges: the noise drifts as the billow grows.
        s *= 1 + how.Fray * (noise.Fbm(px * how.FrayScale + b.NoiseX + tau * how.FrayDrift,
                                       py * how.FrayScale + b.NoiseY, 3) - 0.5);
        if (s >= 1) continue;
        const double k = (1 - s * s) * (1 - s * s);
        const double fade = 1 - Smooth(how.FadeFrom, how.FadeTo, tau);
        d += fade * k;
        h += how.Heat(fade * k, tau, s, b.Cooling);
      }
      const size_t i = static_cast<size_t>(y) * n + x;
      cloud.Density[i] = d;
      if (d > 0) cloud.Heat[i] = burn(h / d, px, py);
    }
  return cloud;
}

void LayCloud(TPixelLayer& layer, const TCloud& cloud, double t, TRgb (*colour)(double heat, double age),
              double glow, double opacity) {
  const int n = cloud.Size;
  auto at = [&](int x, int y) {
    return cloud.Density[static_cast<size_t>(std::clamp(y, 0, n - 1)) * n + std::clamp(x, 0, n - 1)];
  };
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const size_t i = static_cast<size_t>(y) * n + x;
      const double d = cloud.Density[i];
      if (d <= 0) continue;
      // Smoke is lit from the top left: its slopes facing the light are
      // brighter, the far ones darker; fire glows by itself.
      const double slope = (at(x + 1, y) - at(x - 1, y)) + (at(x, y + 1) - at(x, y - 1));
      const double hot = cloud.Heat[i];
      TRgb c = colour(hot + glow * std::min(1.0, d - 0.6) * (1 - t), t);
      c = Scale(c, 1 + std::clamp(slope * 0.9, -0.35, 0.35) * (1 - Smooth(0.3, 0.6, hot)));
      layer.Over(x, y, c, std::min(1.0, d * opacity));
    }
}

}  // namespace race_art
