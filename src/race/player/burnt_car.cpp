#include "race/player/burnt_car.h"

#include <cstdint>

namespace {

TPictureCollectionItem Burnt;
bool Made = false;

// Soot over the paint: every colour goes to a dark, faintly warm grey that
// keeps a trace of the body's light and shade, with a few embers still
// glowing.
uint32_t Char(uint32_t rgb, int x, int y) {
  const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  const int light = (77 * r + 150 * g + 29 * b) >> 8;
  uint32_t h = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  if (h % 61 == 0) return 0xB4420Eu + ((h >> 8) & 0x1F) * 0x010100u;
  const int soot = 12 + light * 3 / 10 + static_cast<int>(h % 7);
  return static_cast<uint32_t>(soot + 6) << 16 | static_cast<uint32_t>(soot + 2) << 8 | static_cast<uint32_t>(soot);
}

}  // namespace

const TPictureCollectionItem* BurntCar() { return Made ? &Burnt : nullptr; }

void MakeBurntCar(const TPictureCollectionItem& car) {
  Burnt = car;
  Made = true;
  const TPixelView keyed = car.Pattern(0);
  for (int y = 0; y < Burnt.Picture.Height; ++y) {
    uint32_t* row = Burnt.Picture.Row(y);
    for (int x = 0; x < Burnt.Picture.Width; ++x) {
      if (keyed.Keyed && row[x] == keyed.Key) continue;
      uint32_t c = Char(row[x], x, y);
      // A charred pixel must never turn into the see-through colour.
      if (keyed.Keyed && c == keyed.Key) c ^= 1;
      row[x] = c;
    }
  }
}
