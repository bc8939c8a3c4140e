#pragma once
// Folder gfx/: pixels. The back surface, blits, text and screenshots; it uses
// no other folder of the game.
//
// The game's pixel buffers: the 792 x 592 back surface every tick draws on,
// and the decoded bitmaps of the image lists. Pixels are 0x00RRGGBB.
#include <cstddef>
#include <cstdint>
#include <vector>

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct TSurface {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;

  void Resize(int w, int h);
  uint32_t* Row(int y) { return Pixels.data() + static_cast<size_t>(y) * Width; }
  const uint32_t* Row(int y) const { return Pixels.data() + static_cast<size_t>(y) * Width; }
};

constexpr int SurfaceWidth = 792;
constexpr int SurfaceHeight = 592;

// MDXDraw's back surface. Sized at start-up; kept across display-mode switches.
extern TSurface BackSurface;

void FillSurface(TSurface& s, uint32_t colour);
