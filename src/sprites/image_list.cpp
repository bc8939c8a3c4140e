#include "sprites/image_list.h"

#include <algorithm>
#include <utility>

#include "sprites/archive_format.h"
#include "sprites/lookup_error.h"

std::string PictureVariantSuffix;
TPictureCollection MDXImageList1;
TPictureCollection MDXImageList2;

namespace {

// How an item's bitmap is cut into patterns. Negative gaps count as none.
// The sizes come from the archive, so the sums are made in 64 bits: a huge
// pattern size or gap must give no patterns, not a wrapped-around grid.
struct TPatternGrid {
  int Width = 0, Height = 0, Columns = 0, Rows = 0;
  int64_t StepX = 0, StepY = 0;
};

TPatternGrid GridOf(const TPictureCollectionItem& item) {
  TPatternGrid g;
  g.Width = item.Width();
  g.Height = item.Height();
  if (g.Width <= 0 || g.Height <= 0) return g;
  const int64_t skipW = std::max(item.SkipWidth, 0), skipH = std::max(item.SkipHeight, 0);
  g.StepX = g.Width + skipW;
  g.StepY = g.Height + skipH;
  // At most one column per pixel, so the counts and their product fit an int
  // for any bitmap the archive reader accepts.
  g.Columns = static_cast<int>((item.Picture.Width + skipW) / g.StepX);
  g.Rows = static_cast<int>((item.Picture.Height + skipH) / g.StepY);
  return g;
}

}  // namespace

int TPictureCollectionItem::Width() const { return PatternWidth > 0 ? PatternWidth : Picture.Width; }

int TPictureCollectionItem::Height() const { return PatternHeight > 0 ? PatternHeight : Picture.Height; }

int TPictureCollectionItem::PatternCount() const {
  TPatternGrid g = GridOf(*this);
  return static_cast<int>(static_cast<int64_t>(g.Columns) * g.Rows);
}

TPixelView TPictureCollectionItem::Pattern(int index) const {
  TPixelView view;
  TPatternGrid g = GridOf(*this);
  if (index < 0 || index >= static_cast<int64_t>(g.Columns) * g.Rows) return view;
  // A whole pattern lies inside the bitmap, so these fit an int.
  const int x = static_cast<int>(index % g.Columns * g.StepX);
  const int y = static_cast<int>(index / g.Columns * g.StepY);
  view.Pixels = Picture.Row(y) + x;
  view.Stride = Picture.Width;
  view.Width = g.Width;
  view.Height = g.Height;
  view.Keyed = Transparent;
  // TColor keeps red in the low byte; system-colour flags in the high byte
  // are dropped.
  uint32_t c = static_cast<uint32_t>(TransparentColor);
  view.Key = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  return view;
}

void TPictureCollectionItem::Draw(TSurface& dest, int x, int y, int patternIndex) const {
  TPixelView view = Pattern(patternIndex);
  if (view.Pixels) DrawPattern(dest, x, y, view);
}

void TPictureCollectionItem::DrawAlpha(TSurface& dest, const TRect& destRect, int patternIndex, int alpha) const {
  TPixelView view = Pattern(patternIndex);
  if (view.Pixels) DrawPatternAlpha(dest, destRect, view, alpha);
}

void TPictureCollectionItem::DrawRotate(TSurface& dest, int x, int y, int width, int height, int patternIndex,
                                        double centerX, double centerY, int angle) const {
  TPixelView view = Pattern(patternIndex);
  if (view.Pixels) DrawPatternRotate(dest, x, y, width, height, view, centerX, centerY, angle);
}

void TPictureCollection::LoadFromFile(const std::string& path) {
  std::vector<uint8_t> colorTable;
  std::vector<TPictureCollectionItem> items = LoadImageArchive(path, &colorTable);
  Items = std::move(items);
  ColorTable = std::move(colorTable);
  Reindex();
}

TPictureCollectionItem& TPictureCollection::Find(const std::string& name) {
  int i = PictureVariantSuffix.empty() ? -1 : Index.Find(name + PictureVariantSuffix);
  if (i < 0) i = Index.Find(name);
  if (i < 0 || static_cast<size_t>(i) >= Items.size()) throw ELookupError("Image '" + name + "' not found");
  TPictureCollectionItem& item = Items[static_cast<size_t>(i)];
  if (item.Source.File) DecodeWaitingPicture(item);
  return item;
}

bool TPictureCollection::DecodeNextWaiting() {
  for (; CheckedUpTo < Items.size(); ++CheckedUpTo)
    if (Items[CheckedUpTo].Source.File) {
      DecodeWaitingPicture(Items[CheckedUpTo++]);
      return true;
    }
  return false;
}

void TPictureCollection::Clear() {
  Items.clear();
  ColorTable.clear();
  Index.Clear();
}

void TPictureCollection::Reindex() {
  CheckedUpTo = 0;
  Index.Clear();
  for (size_t i = 0; i < Items.size(); ++i) Index.Add(Items[i].Name, static_cast<int>(i));
}
