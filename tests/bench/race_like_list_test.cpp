// The benchmark's comparison is only fair while both renderers draw the same
// picture: every pixel away from a turned picture's outline must agree within
// the rounding of a half-opacity blend.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx/png_write.h"
#include "race_like_list.h"

namespace {

TEST(RaceLikeList, OurSurfaceAndSdlsRendererDrawTheSamePicture) {
  TRaceLikeList list;
  TSurface ours, sdl;
  ours.Resize(SurfaceWidth, SurfaceHeight);
  list.DrawOurs(ours);
  list.DrawSdl();
  list.CopySdlFrame(sdl);
  ASSERT_EQ(sdl.Width, ours.Width);
  ASSERT_EQ(sdl.Height, ours.Height);
  int compared = 0, differing = 0, firstX = -1, firstY = -1;
  for (int y = 0; y < ours.Height; ++y)
    for (int x = 0; x < ours.Width; ++x) {
      if (list.NearTurnedEdge(x, y)) continue;
      ++compared;
      const uint32_t a = ours.Row(y)[x], b = sdl.Row(y)[x];
      for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255)) > 2) {
          if (differing++ == 0) firstX = x, firstY = y;
          break;
        }
    }
  if (differing > 0) {
    WritePng("race-like-ours.png", ours);
    WritePng("race-like-sdl.png", sdl);
  }
  EXPECT_EQ(differing, 0) << "first at (" << firstX << ", " << firstY << "); both pictures written as race-like-*.png";
  // Nearly the whole frame lies away from the turned outlines.
  EXPECT_GT(compared, ours.Width * ours.Height * 8 / 10);
}

}  // namespace
