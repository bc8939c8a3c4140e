#pragma once
// A frame shaped like a busy race frame, as a fixed list of draw calls that
// both our surface and SDL2's own software renderer can carry out: 14 x 11
// road tiles of 72 x 72, 20 keyed 64 x 156 cars at assorted headings, 60
// keyed 24 x 24 sprites, 6 panels of 200 x 100 blended at half opacity and
// one turned needle. The benchmark times the two against each other; a test
// checks that they draw the same picture, so the comparison stays fair.
#include <memory>

#include "gfx/blit.h"
#include "gfx/surface.h"

struct TRaceLikeSources;
struct TSdlRaceLikeTarget;

class TRaceLikeList {
 public:
  TRaceLikeList();
  ~TRaceLikeList();

  // Our surface: the calls the sprite world makes for such a frame.
  void DrawOurs(TSurface& dest) const;
  // SDL's software renderer on an SDL surface of the frame's size.
  void DrawSdl();
  // The SDL frame's pixels as 0x00RRGGBB.
  void CopySdlFrame(TSurface& out) const;

  // True where a turned picture's outline passes within a pixel: there the
  // two renderers may pick a neighbouring source pixel and disagree.
  bool NearTurnedEdge(int x, int y) const;

 private:
  std::unique_ptr<TRaceLikeSources> Sources;
  std::unique_ptr<TSdlRaceLikeTarget> Sdl;
};
