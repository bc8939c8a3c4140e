#include "gfx/surface.h"

#include <algorithm>
#include <cstring>

TSurface BackSurface;

void TSurface::Resize(int w, int h) {
  Width = w;
  Height = h;
  Pixels.assign(static_cast<size_t>(w) * h, 0);
}

void FillSurface(TSurface& s, uint32_t colour) {
  // Black, the colour of every clear, is a plain byte fill: the C library's
  // is the fastest store loop the machine has.
  const uint32_t byte = colour & 0xFFu;
  if (colour == byte * 0x01010101u) {
    std::memset(s.Pixels.data(), static_cast<int>(byte), s.Pixels.size() * sizeof(uint32_t));
    return;
  }
  std::fill(s.Pixels.begin(), s.Pixels.end(), colour);
}
