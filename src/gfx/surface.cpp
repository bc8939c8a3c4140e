#include "gfx/surface.h"

#include <algorithm>

TSurface BackSurface;

void TSurface::Resize(int w, int h) {
  Width = w;
  Height = h;
  Pixels.assign(static_cast<size_t>(w) * h, 0);
}

void FillSurface(TSurface& s, uint32_t colour) { std::fill(s.Pixels.begin(), s.Pixels.end(), colour); }
