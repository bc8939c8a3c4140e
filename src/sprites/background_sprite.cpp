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
  WindowDirty = true;
}

void TBackgroundSprite::SetImage(TPictureCollectionItem* item) {
  // Setting an image, even the same one again, looks at its pixels afresh.
  WindowDirty = true;
  SolidFor = nullptr;
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
  int& chip = Map[static_cast<size_t>(y) * MapWidth + x];
  if (chip != value) WindowDirty = true;
  chip = value;
}

TRect TBackgroundSprite::GetBoundsRect() const {
  if (Image == nullptr) return TRect{};
  const int left = SpriteRound(WorldX());
  const int top = SpriteRound(WorldY());
  return TRect{left, top, ClampedInt(left + static_cast<int64_t>(Image->Width()) * MapWidth),
               ClampedInt(top + static_cast<int64_t>(Image->Height()) * MapHeight)};
}

bool TBackgroundSprite::PatternSolid(int index) {
  if (SolidFor != Image) {
    SolidFor = Image;
    PatternSolidity.assign(static_cast<size_t>(std::max(Image->PatternCount(), 0)), -1);
  }
  if (index < 0 || static_cast<size_t>(index) >= PatternSolidity.size()) return false;
  signed char& known = PatternSolidity[static_cast<size_t>(index)];
  if (known < 0) {
    const TPixelView v = Image->Pattern(index);
    bool solid = v.Pixels != nullptr;
    for (int y = 0; solid && y < v.Height; ++y)
      for (int x = 0; solid && x < v.Width; ++x)
        if (v.Keyed && ((v.Pixels[static_cast<ptrdiff_t>(y) * v.Stride + x] ^ v.Key) & 0xFFFFFFu) == 0) solid = false;
    known = solid ? 1 : 0;
  }
  return known == 1;
}

void TBackgroundSprite::Recompose() {
  WindowDirty = false;
  ChipsSolid = false;
  WindowUsable = false;
  if (Image == nullptr || Map.empty()) return;
  for (int c : Map)
    if (!PatternSolid(c)) return;
  ChipsSolid = true;
  const int w = Image->Width(), h = Image->Height();
  if (MapWidth * MapHeight < 2 || w <= 0 || h <= 0) return;
  Window.Width = w * MapWidth;
  Window.Height = h * MapHeight;
  Window.Pixels.resize(static_cast<size_t>(Window.Width) * Window.Height);  // kept between compositions
  for (int cy = 0; cy < MapHeight; ++cy)
    for (int cx = 0; cx < MapWidth; ++cx) Image->Draw(Window, cx * w, cy * h, GetChip(cx, cy));
  WindowUsable = true;
}

bool TBackgroundSprite::CoversSurface() {
  if (!Visible || IsDead() || Engine == nullptr || Parent != Engine) return false;
  if (WindowDirty) Recompose();
  if (!ChipsSolid) return false;
  const TRect r = GetBoundsRect();
  const TRect& s = Engine->SurfaceRect;
  return r.Left <= s.Left && r.Top <= s.Top && r.Right >= s.Right && r.Bottom >= s.Bottom;
}

void TBackgroundSprite::DoDraw() {
  if (Image == nullptr || MapWidth <= 0 || MapHeight <= 0) return;
  const int w = Image->Width();
  const int h = Image->Height();
  // A tile larger than its bitmap makes no patterns and draws nothing; with
  // at least one pattern the tile fits its bitmap, so the sums below fit.
  if (w <= 0 || h <= 0 || Image->PatternCount() <= 0) return;
  TSurface& dest = Engine != nullptr ? *Engine->Surface : BackSurface;
  // Chip (i, j) lands at (x0 + i * w, y0 + j * h), whatever the signs.
  const int x0 = SpriteRound(WorldX());
  const int y0 = SpriteRound(WorldY());
  if (WindowDirty) Recompose();
  if (WindowUsable) {
    DrawPattern(dest, x0, y0, TPixelView{Window.Pixels.data(), Window.Width, Window.Width, Window.Height, false, 0});
    return;
  }
  DrawChips(dest, x0, y0);
}

void TBackgroundSprite::DrawChips(TSurface& dest, int x0, int y0) {
  const int w = Image->Width();
  const int h = Image->Height();
  const TRect surfaceRect = Engine != nullptr ? Engine->SurfaceRect : TRect{0, 0, SurfaceWidth, SurfaceHeight};
  const int cols = (surfaceRect.Right + w) / w + 1;
  const int rows = (surfaceRect.Bottom + h) / h + 1;

  // Chips left of or above the surface are skipped; the partly visible first
  // chip is placed by the offset, which keeps the sign of the position.
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
