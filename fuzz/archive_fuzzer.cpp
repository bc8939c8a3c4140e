// libFuzzer target for the picture and sound archives: the component stream
// is read and written back byte for byte; the picture and wave lists are
// read, every name is looked up, every pattern is drawn the three ways the
// game draws, and the items are written back and read again unchanged. The
// same bytes loaded from a file, as the game loads them (items left waiting
// in the file until looked up), must be refused or read alike.
// Built and run by tools/fuzz.sh.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/surface.h"
#include "sprites/archive_format.h"
#include "sprites/component_stream.h"
#include "sprites/image_list.h"
#include "sprites/lookup_error.h"
#include "sprites/wave_list.h"

namespace {

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "archive fuzzer: %s\n", what);
  std::abort();
}

void CheckStream(const uint8_t* data, size_t size) {
  size_t used = 0;
  TStreamObject root;
  try {
    root = ReadComponentStream(data, size, &used);
  } catch (const EArchiveError&) {
    return;
  }
  if (used > size) Broken("the reader used more bytes than it was given");
  const std::vector<uint8_t> back = WriteComponentStream(root);
  if (back.size() != used || std::memcmp(back.data(), data, used) != 0)
    Broken("writing back what was read gave other bytes");
  (void)ComponentToText(root);
}

// Each pattern onto a small surface, at a corner that lets the clipping
// work on every side; the first and last patterns of a long strip suffice.
void DrawAll(const TPictureCollectionItem& item, TSurface& dest) {
  const int count = item.PatternCount();
  if (count < 0) Broken("a negative pattern count");
  for (int i = -1; i <= count; ++i) {
    if (i > 32 && i < count - 32) i = count - 32;
    item.Draw(dest, -3 + i % 7, -2 + i % 5, i);
    item.DrawAlpha(dest, TRect{-4, 3, 40, 30}, i, 128);
    item.DrawRotate(dest, 20, 20, 30, 17, i, 0.5, 0.5, i * 37);
  }
}

void CheckPictures(const std::vector<uint8_t>& bytes) {
  TPictureCollection list;
  try {
    list.Items = ReadImageArchive(bytes, &list.ColorTable);
  } catch (const EArchiveError&) {
    return;
  }
  list.Reindex();
  TSurface dest;
  dest.Resize(48, 40);
  for (const TPictureCollectionItem& item : list.Items) {
    try {
      if (list.Find(item.Name).Name.size() != item.Name.size()) Broken("a lookup found an item of another name");
    } catch (const ELookupError&) {
      Broken("an item's own name was not found");
    }
    DrawAll(item, dest);
  }
  if (list.ColorTable.size() != 1024) return;  // only a full table can be written again
  std::vector<TPictureCollectionItem> again;
  try {
    again = ReadImageArchive(WriteImageArchive(list.Items, list.ColorTable));
  } catch (const EArchiveError&) {
    Broken("a written picture archive was refused");
  }
  if (again.size() != list.Items.size()) Broken("the written picture archive has another item count");
  for (size_t i = 0; i < again.size(); ++i) {
    const TPictureCollectionItem &a = list.Items[i], &b = again[i];
    if (a.Name != b.Name || a.PatternWidth != b.PatternWidth || a.PatternHeight != b.PatternHeight ||
        a.SkipWidth != b.SkipWidth || a.SkipHeight != b.SkipHeight || a.Transparent != b.Transparent ||
        a.SystemMemory != b.SystemMemory || a.TransparentColor != b.TransparentColor ||
        a.Picture.Width != b.Picture.Width || a.Picture.Height != b.Picture.Height ||
        a.Picture.Pixels != b.Picture.Pixels)
      Broken("a picture item changed on its way through the writer");
  }
}

void CheckWaves(const std::vector<uint8_t>& bytes) {
  TWaveCollection list;
  try {
    list.Items = ReadWaveArchive(bytes);
  } catch (const EArchiveError&) {
    return;
  }
  list.Reindex();
  for (const TWaveCollectionItem& item : list.Items) {
    try {
      (void)list.Find(item.Name);
    } catch (const ELookupError&) {
      Broken("a wave's own name was not found");
    }
  }
  std::vector<TWaveCollectionItem> again;
  try {
    again = ReadWaveArchive(WriteWaveArchive(list.Items));
  } catch (const EArchiveError&) {
    Broken("a written sound archive was refused");
  }
  if (again.size() != list.Items.size()) Broken("the written sound archive has another item count");
  for (size_t i = 0; i < again.size(); ++i)
    if (again[i].Name != list.Items[i].Name || again[i].Wave != list.Items[i].Wave ||
        again[i].Looped != list.Items[i].Looped || again[i].MaxPlayingCount != list.Items[i].MaxPlayingCount)
      Broken("a wave item changed on its way through the writer");
}

// The bytes as a file of their own: one in memory, named through /proc.
struct TMemoryFile {
  int Fd = -1;
  std::string Path;
  TMemoryFile(const uint8_t* data, size_t size) {
    Fd = memfd_create("archive", MFD_CLOEXEC);
    if (Fd < 0 || write(Fd, data, size) != static_cast<ssize_t>(size)) Broken("cannot make the archive's file");
    Path = "/proc/self/fd/" + std::to_string(Fd);
  }
  ~TMemoryFile() { close(Fd); }
};

void CheckLoadedFromFile(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  const TMemoryFile file(data, size);
  std::vector<TPictureCollectionItem> whole;
  bool wholeRead = true;
  try {
    // With a colour table asked for, as the file's load asks for it: an
    // archive whose ColorTable is not binary data is refused both ways.
    std::vector<uint8_t> colorTable;
    whole = ReadImageArchive(bytes, &colorTable);
  } catch (const EArchiveError&) {
    wholeRead = false;
  }
  TPictureCollection pictures;
  try {
    pictures.LoadFromFile(file.Path);
  } catch (const EArchiveError&) {
    if (wholeRead && size > 0) Broken("a picture archive read whole was refused from its file");
    pictures.Clear();
  }
  if (!wholeRead && !pictures.Items.empty()) Broken("a picture archive refused whole was loaded from its file");
  for (size_t i = 0; i < pictures.Items.size(); ++i) {
    TPictureCollectionItem& item = pictures.Items[i];
    if (item.Source.File) DecodeWaitingPicture(item);
    if (item.Picture.Width != whole[i].Picture.Width || item.Picture.Pixels != whole[i].Picture.Pixels)
      Broken("a picture read from its file differs from the archive read whole");
  }

  std::vector<TWaveCollectionItem> waves;
  wholeRead = true;
  try {
    waves = ReadWaveArchive(bytes);
  } catch (const EArchiveError&) {
    wholeRead = false;
  }
  TWaveCollection sounds;
  try {
    sounds.LoadFromFile(file.Path);
  } catch (const EArchiveError&) {
    if (wholeRead && size > 0) Broken("a sound archive read whole was refused from its file");
    sounds.Clear();
  }
  if (!wholeRead && !sounds.Items.empty()) Broken("a sound archive refused whole was loaded from its file");
  for (size_t i = 0; i < sounds.Items.size(); ++i) {
    TWaveCollectionItem& item = sounds.Items[i];
    if (item.Source.File) ReadWaitingWave(item);
    if (item.Wave != waves[i].Wave) Broken("a sound read from its file differs from the archive read whole");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckStream(data, size);
  const std::vector<uint8_t> bytes(data, data + size);
  CheckPictures(bytes);
  CheckWaves(bytes);
  CheckLoadedFromFile(data, size);
  return 0;
}
