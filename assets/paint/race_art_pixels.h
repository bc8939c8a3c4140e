#pragma once
// Small per-pixel helpers of the race's own pictures (the panel, the
// effects, the lamps): colours as doubles, ordered dithering for the keyed
// pictures that stand for something half transparent (smoke, flame, the
// glow under a lamp), colour ramps, and sheets of equally sized patterns.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "gfx/surface.h"

namespace race_art {

// Pixels of this colour are not drawn; none of the race's pictures uses it.
constexpr uint32_t kKey = 0xFF00FF;

struct TRgb {
  double R = 0, G = 0, B = 0;
};

inline TRgb Hex(uint32_t c) {
  return {((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0};
}
inline TRgb Mix(TRgb a, TRgb b, double t) {
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}
inline TRgb Scale(TRgb c, double k) { return {c.R * k, c.G * k, c.B * k}; }
inline double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
inline double Smooth(double e0, double e1, double x) {
  const double t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}
// A colour ramp for fire and smoke: the colour at `at` (clamped to 0..1) is
// blended between the stops either side of it, and is the last stop's past
// the last one. The first stop stands at 0.
struct TRampStop {
  double At;
  uint32_t Rgb;
};
inline TRgb Ramp(std::span<const TRampStop> stops, double at) {
  at = Clamp01(at);
  for (size_t i = 1; i < stops.size(); ++i)
    if (at <= stops[i].At)
      return Mix(Hex(stops[i - 1].Rgb), Hex(stops[i].Rgb), (at - stops[i - 1].At) / (stops[i].At - stops[i - 1].At));
  return Hex(stops.back().Rgb);
}

// 0x00RRGGBB, nudged off the key colour so a painted pixel is never lost.
inline uint32_t Pack(TRgb c) {
  auto ch = [](double v) { return static_cast<uint32_t>(std::lround(Clamp01(v) * 255)); };
  const uint32_t rgb = ch(c.R) << 16 | ch(c.G) << 8 | ch(c.B);
  return rgb == kKey ? rgb ^ 1 : rgb;
}

// Threshold of a 4 x 4 ordered-dither matrix at a pixel, in (0, 1): a keyed
// pixel is drawn where the coverage it stands for exceeds it, so a fading
// cover thins out evenly instead of breaking into blotches.
inline double Bayer(int x, int y) {
  static constexpr int kMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return (kMatrix[y & 3][x & 3] + 0.5) / 16.0;
}

// A picture worked out pixel by pixel: colour and coverage.
struct TPixelLayer {
  int Width = 0, Height = 0;
  std::vector<TRgb> Colour;
  std::vector<double> Cover;

  TPixelLayer(int w, int h) : Width(w), Height(h), Colour(static_cast<size_t>(w) * h), Cover(Colour.size(), 0.0) {}
  // Lays `c` with coverage `a` over what the pixel holds.
  void Over(int x, int y, TRgb c, double a) {
    if (x < 0 || y < 0 || x >= Width || y >= Height || a <= 0) return;
    const size_t i = static_cast<size_t>(y) * Width + x;
    a = Clamp01(a);
    const double under = Cover[i] * (1 - a), total = a + under;
    Colour[i] = total > 0 ? Mix(Colour[i], c, a / total) : c;
    Cover[i] = total;
  }
  // Keyed: a pixel is drawn where its coverage passes the dither threshold
  // (or one half, undithered).
  TSurface Keyed(bool dithered) const {
    TSurface s;
    s.Resize(Width, Height);
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x) {
        const size_t i = static_cast<size_t>(y) * Width + x;
        const double threshold = dithered ? Bayer(x, y) : 0.5;
        s.Row(y)[x] = Cover[i] > threshold ? Pack(Colour[i]) : kKey;
      }
    return s;
  }
};

// Patterns of one size in a row, pattern 0 on the left.
inline TSurface PatternRow(const std::vector<TSurface>& patterns) {
  TSurface sheet;
  if (patterns.empty()) return sheet;
  const int w = patterns[0].Width, h = patterns[0].Height;
  sheet.Resize(w * static_cast<int>(patterns.size()), h);
  for (size_t p = 0; p < patterns.size(); ++p)
    for (int y = 0; y < h; ++y)
      std::copy(patterns[p].Row(y), patterns[p].Row(y) + w, sheet.Row(y) + static_cast<int>(p) * w);
  return sheet;
}

}  // namespace race_art
