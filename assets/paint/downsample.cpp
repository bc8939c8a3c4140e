#include "assets/paint/downsample.h"

#include "assets/paint/race_art_pixels.h"

namespace paint {

TSurface DownsampleWithRim(int width, int height, int sub, const std::vector<TVec>& colour,
                           const std::vector<uint8_t>& inside, const std::vector<double>& distance,
                           const TRimLook& look) {
  const int sw = width * sub;
  TSurface out;
  out.Resize(width, height);
  for (int py = 0; py < height; ++py)
    for (int px = 0; px < width; ++px) {
      TVec sum;
      int count = 0;
      for (int j = py * sub; j < (py + 1) * sub; ++j)
        for (int i = px * sub; i < (px + 1) * sub; ++i) {
          const size_t k = static_cast<size_t>(j) * sw + i;
          if (!inside[k]) continue;
          const double edge = 1 - race_art::Smooth(0.8, 1.9, distance[k] / sub);
          sum = sum + Mix(colour[k], look.Rim, edge);
          ++count;
        }
      uint32_t rgb = look.Key;
      if (count > 0 && count >= look.FewestSamples) {
        const double coverage = static_cast<double>(count) / (sub * sub);
        rgb = ToRgb(Mix(look.Neutral, sum * (1.0 / count), coverage));
        if (rgb == look.Key) rgb ^= 1;
      }
      out.Row(py)[px] = rgb;
    }
  return out;
}

}  // namespace paint
