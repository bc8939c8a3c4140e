// The turned copy walks source positions in fixed point for speed; here it
// is held to the plain definition worked per pixel in floating point: the
// source pixel under each screen pixel centre, keyed pixels left alone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "gfx/blit.h"

namespace {

void ReferenceRotate(TSurface& dest, int x, int y, int w, int h, const TPixelView& src, double centerX,
                     double centerY, int angle) {
  const int turn = ((angle % 256) + 256) % 256;
  double sn = std::sin(turn * 2 * std::numbers::pi / 256), cs = std::cos(turn * 2 * std::numbers::pi / 256);
  if (turn % 64 == 0) {  // the quarter turns are exact
    sn = turn == 64 ? 1 : turn == 192 ? -1 : 0;
    cs = turn == 0 ? 1 : turn == 128 ? -1 : 0;
  }
  const double px = centerX * w, py = centerY * h;
  const double kx = static_cast<double>(src.Width) / w, ky = static_cast<double>(src.Height) / h;
  constexpr double Hair = 1.0 / 1048576.0;  // a point on a pixel edge belongs to the pixel after it
  for (int row = 0; row < dest.Height; ++row)
    for (int col = 0; col < dest.Width; ++col) {
      const double dx = col + 0.5 - x, dy = row + 0.5 - y;
      const double fx = std::floor((dx * cs + dy * sn + px) * kx + Hair);
      const double fy = std::floor((-dx * sn + dy * cs + py) * ky + Hair);
      if (fx < 0 || fy < 0 || fx >= src.Width || fy >= src.Height) continue;
      const uint32_t p = src.Pixels[static_cast<ptrdiff_t>(fy) * src.Stride + static_cast<ptrdiff_t>(fx)];
      if (src.Keyed && ((p ^ src.Key) & 0xFFFFFFu) == 0) continue;
      dest.Row(row)[col] = p;
    }
}

// A small deterministic generator, so the cases are the same on every machine.
uint32_t Next(uint32_t& s) {
  s = s * 1664525u + 1013904223u;
  return s >> 8;
}

// Run with the machine's widest turned runs and with the SSE2 ones.
class RotateAgainstDefinition : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { AllowWideVectorPaths(GetParam()); }
  void TearDown() override { AllowWideVectorPaths(true); }
};

TEST_P(RotateAgainstDefinition, MatchesThePerPixelDefinitionAcrossSizesAnglesAndPivots) {
  uint32_t seed = 12345;
  int differing = 0;
  for (int c = 0; c < 300; ++c) {
    const int sw = 1 + static_cast<int>(Next(seed) % 70), sh = 1 + static_cast<int>(Next(seed) % 160);
    std::vector<uint32_t> pixels(static_cast<size_t>(sw) * sh);
    for (uint32_t& p : pixels) p = Next(seed) % 5 == 0 ? 0xFF00FFu : Next(seed) & 0xFFFFFFu;
    const TPixelView view{pixels.data(), sw, sw, sh, c % 3 != 0, 0xFF00FF};
    // Mostly at its own size as the cars and the needle are; now and then scaled.
    const bool scaled = c % 4 == 0;
    const int w = scaled ? 1 + static_cast<int>(Next(seed) % 90) : sw;
    const int h = scaled ? 1 + static_cast<int>(Next(seed) % 120) : sh;
    const int x = static_cast<int>(Next(seed) % 260) - 30, y = static_cast<int>(Next(seed) % 200) - 30;
    const double cx = (Next(seed) % 101) / 100.0 + (c % 7 == 0 ? 0.04 : 0), cy = (Next(seed) % 101) / 100.0;
    const int angle = c % 5 == 0 ? static_cast<int>(Next(seed) % 5) * 64 : static_cast<int>(Next(seed) % 600) - 300;
    TSurface got, want;
    got.Resize(200, 150);
    want.Resize(200, 150);
    DrawPatternRotate(got, x, y, w, h, view, cx, cy, angle);
    ReferenceRotate(want, x, y, w, h, view, cx, cy, angle);
    for (size_t i = 0; i < got.Pixels.size(); ++i)
      if (got.Pixels[i] != want.Pixels[i]) {
        ADD_FAILURE() << "case " << c << ": " << sw << "x" << sh << " as " << w << "x" << h << " at (" << x << ", "
                      << y << ") pivot (" << cx << ", " << cy << ") angle " << angle << ", first differing pixel ("
                      << i % 200 << ", " << i / 200 << ")";
        ++differing;
        break;
      }
    if (differing > 5) break;
  }
}

INSTANTIATE_TEST_SUITE_P(DrawPatternRotate, RotateAgainstDefinition, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Widest" : "Sse2"; });

}  // namespace
