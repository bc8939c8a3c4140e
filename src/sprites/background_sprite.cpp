#include "sprites/background_sprite.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

// Sizes from a damaged archive can be as large as an int holds; the map's
// box is kept to what an int can say rather than wrapping around.
int ClampedInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

}  // namespace

void TBackgroundSprite::SetMapSize(int w, int h) {
  if (w == MapWidth && h == MapHeight) return;
  if (w < 1 || h < 1) {
    w = 0;
    h = 0;
  }
  MapWidth = w;
  MapHeight = h;
  const size_t cells = static_cast<size_t>(w) * static_cast<size_t>(h);
  Map.assign(cells, 0);
  CollisionMap.assign(cells, 1);
}

void TBackgroundSprite::SetImage(TPictureCollectionItem* item) {
  Image = item;
  Width = item != nullptr ? ClampedInt(static_cast<int64_t>(item->Width()) * MapWidth) : 0;
  Height = item != nullptr ? ClampedInt(static_cast<int64_t>(item->Height()) * MapHeight) : 0;
}

int TBackgroundSprite::GetChip(int x, int y) const {
  if (x < 0 || x >= MapWidth || y < 0 || y >= MapHeight) return -1;
  return Map[static_cast<size_t>(y) * MapWidth + x];
}

void TBackgroundSprite::SetChip(int x, int y, int value) {
  if (x < 0 || x >= MapWidth || y < 0 || y >= MapHeight) return;
  Map[static_cast<size_t>(y) * MapWidth + x] = value;
}

TRect TBackgroundSprite::GetBoundsRect() const {
  if (Image == nullptr) return TRect{};
  const int left = SpriteRound(WorldX());
  const int top = SpriteRound(WorldY());
  return TRect{left, top, ClampedInt(left + static_cast<int64_t>(Image->Width()) * MapWidth),
               ClampedInt(top + static_cast<int64_t>(Image->Height()) * MapHeight)};
}

void TBackgroundSprite::DoDraw() {
  if (Image == nullptr || MapWidth <= 0 || MapHeight <= 0) return;
  const int w = Image->Width();
  const int h = Image->Height();
  // A tile larger than its bitmap makes no patterns and draws nothing; with
  // at least one pattern the tile fits its bitmap, so the sums below fit.
  if (w <= 0 || h <= 0 || Image->PatternCount() <= 0) return;
  const TRect surfaceRect = Engine != nullptr ? Engine->SurfaceRect : TRect{0, 0, SurfaceWidth, SurfaceHeight};
  TSurface& dest = Engine != nullptr ? *Engine->Surface : BackSurface;
  const int cols = (surfaceRect.Right + w) / w + 1;
  const int rows = (surfaceRect.Bottom + h) / h + 1;

  // Chips left of or above the surface are skipped; the partly visible first
  // chip is placed by the offset, which keeps the sign of the position.
  const int x0 = SpriteRound(WorldX());
  const int y0 = SpriteRound(WorldY());
  const int ofsX = x0 % w;
  const int ofsY = y0 % h;
  int startX = x0 / w;
  int startY = y0 / h;
  int skipX = 0;
  int skipY = 0;
  if (startX < 0) {
    skipX = -startX;
    startX = 0;
  }
  if (startY < 0) {
    skipY = -startY;
    startY = 0;
  }
  const int endX = std::min(startX + MapWidth - skipX, cols);
  const int endY = std::min(startY + MapHeight - skipY, rows);

  for (int cy = startY; cy < endY; ++cy) {
    for (int cx = startX; cx < endX; ++cx) {
      const int c = GetChip(cx - startX + skipX, cy - startY + skipY);
      if (c >= 0) Image->Draw(dest, cx * w + ofsX, cy * h + ofsY, c);
    }
  }
}
