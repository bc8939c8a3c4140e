#pragma once
// The three ways the game puts an image pattern on a surface. All clip against
// the destination and skip key-coloured source pixels when Keyed is set.
#include "gfx/surface.h"

// One pattern cut out of a decoded bitmap.
struct TPixelView {
  const uint32_t* Pixels = nullptr;  // top-left pixel of the pattern
  int Stride = 0;                    // pixels per row of the bitmap
  int Width = 0;
  int Height = 0;
  bool Keyed = false;
  uint32_t Key = 0;  // 0x00RRGGBB
};

// Per channel Round(dst + (src - dst) * alpha / 255), alpha 0..255; red and
// blue travel together in one word, green on its own.
inline uint32_t BlendPixel(uint32_t src, uint32_t dst, uint32_t alpha) {
  const uint32_t rest = 255 - alpha;
  uint32_t rb = (src & 0xFF00FFu) * alpha + (dst & 0xFF00FFu) * rest + 0x800080u;
  rb = ((rb + ((rb >> 8) & 0xFF00FFu)) >> 8) & 0xFF00FFu;
  uint32_t g = ((src >> 8) & 0xFFu) * alpha + ((dst >> 8) & 0xFFu) * rest + 0x80u;
  g = ((g + (g >> 8)) >> 8) & 0xFFu;
  return rb | (g << 8);
}

// Unscaled copy with its top-left corner at (X, Y).
void DrawPattern(TSurface& dest, int x, int y, const TPixelView& src);

// Stretches the pattern over DestRect (right and bottom exclusive) and blends
// it with opacity Alpha / 255. Alpha <= 0 draws nothing, 255 is opaque.
void DrawPatternAlpha(TSurface& dest, const TRect& destRect, const TPixelView& src, int alpha);

// Scales the pattern to W x H, rotates it clockwise by Angle/256 of a turn
// about the pivot (CenterX * W, CenterY * H) and puts the pivot on (X, Y).
void DrawPatternRotate(TSurface& dest, int x, int y, int w, int h, const TPixelView& src, double centerX,
                       double centerY, int angle);

// Turned copies and blends use the machine's AVX2 when it has it, else SSE2.
// The tests switch the wider paths off to check the others as well.
void AllowWideVectorPaths(bool allowed);
