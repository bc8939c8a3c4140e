#pragma once
// The named image lists MDXImageList1 and MDXImageList2, loaded from the
// picture archives at start-up.
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/blit.h"
#include "gfx/surface.h"
#include "sprites/archive_file.h"
#include "sprites/name_index.h"

struct TPictureCollectionItem {
  std::string Name;
  TSurface Picture;  // the whole decoded bitmap; decoded by Find while it still waits in Source
  TWaitingBytes Source;  // the Picture property's bytes, for a bitmap loaded from a file
  int PatternWidth = 0;
  int PatternHeight = 0;
  int SkipWidth = 0;
  int SkipHeight = 0;
  bool SystemMemory = false;
  bool Transparent = true;
  int32_t TransparentColor = 0;  // a TColor: 0x00BBGGRR

  // Pattern size as the sprites read it, and the pattern count.
  int Width() const;
  int Height() const;
  int PatternCount() const;
  // The pattern's pixels with this item's colour key; Pixels is null for an
  // index outside 0 .. PatternCount - 1.
  TPixelView Pattern(int index) const;

  void Draw(TSurface& dest, int x, int y, int patternIndex) const;
  void DrawAlpha(TSurface& dest, const TRect& destRect, int patternIndex, int alpha) const;
  void DrawRotate(TSurface& dest, int x, int y, int width, int height, int patternIndex, double centerX,
                  double centerY, int angle) const;
};

class TPictureCollection {
 public:
  // Replaces the items with those of the archive; throws EArchiveError naming
  // the file and what is wrong with it. Every item's headers are checked
  // here; the pixels of a bitmap are decoded when Find first returns it, so
  // the start-up decodes only what the first screen shows.
  void LoadFromFile(const std::string& path);
  // The item, its picture decoded. Throws ELookupError "Image '%s' not found".
  TPictureCollectionItem& Find(const std::string& name);
  void Clear();
  // Rebuilds the name lookup after Items were filled or changed directly.
  void Reindex();
  // Decodes the first picture still waiting in its file; false when none
  // waits. The frame loop calls it to have every picture ready before it is
  // first shown.
  bool DecodeNextWaiting();

  std::vector<TPictureCollectionItem> Items;
  std::vector<uint8_t> ColorTable;  // 1024 bytes, kept as the archive has it

 private:
  TNameIndex Index;
  size_t CheckedUpTo = 0;  // no item before this one waits
};

// While set, Find hands out the item named name + suffix in place of name
// when the list has one: the pictures with words in them have a twin for
// each language but the first ("_En").
extern std::string PictureVariantSuffix;

extern TPictureCollection MDXImageList1;
extern TPictureCollection MDXImageList2;
