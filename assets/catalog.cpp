#include "catalog.h"

#include <stdexcept>
#include <utility>

#include "window_art.h"

const std::vector<TImageBuilder>& Res1Builders() {
  static const std::vector<TImageBuilder> builders = {
      {"main menu", AddMainMenuArt},
      {"question windows", AddWindowArt},
  };
  return builders;
}

const std::vector<TImageBuilder>& Res2Builders() {
  static const std::vector<TImageBuilder> builders = {};
  return builders;
}

const std::vector<TWaveBuilder>& SoundBuilders() {
  static const std::vector<TWaveBuilder> builders = {
      {"menu sounds", AddMenuSounds},
  };
  return builders;
}

const std::vector<TPreviewBuilder>& PreviewBuilders() {
  static const std::vector<TPreviewBuilder> builders = {
      {"main menu", WriteMainMenuPreviews},
      {"question windows", WriteWindowPreviews},
  };
  return builders;
}

TPictureCollectionItem OpaquePicture(std::string name, TSurface bitmap, int patternWidth, int patternHeight) {
  TPictureCollectionItem item;
  item.Name = std::move(name);
  item.Picture = std::move(bitmap);
  item.PatternWidth = patternWidth;
  item.PatternHeight = patternHeight;
  item.Transparent = false;
  item.TransparentColor = 0;
  return item;
}

TPictureCollectionItem KeyedPicture(std::string name, TSurface bitmap, uint32_t keyRgb, int patternWidth,
                                    int patternHeight) {
  TPictureCollectionItem item = OpaquePicture(std::move(name), std::move(bitmap), patternWidth, patternHeight);
  item.Transparent = true;
  // TColor keeps blue in the high byte: 0x00BBGGRR.
  item.TransparentColor = static_cast<int32_t>(((keyRgb & 0xFF) << 16) | (keyRgb & 0xFF00) | ((keyRgb >> 16) & 0xFF));
  return item;
}

TWaveCollectionItem WaveItem(std::string name, std::vector<uint8_t> riff, bool looped, int maxPlayingCount) {
  TWaveCollectionItem item;
  item.Name = std::move(name);
  item.Wave = std::move(riff);
  item.Looped = looped;
  item.MaxPlayingCount = maxPlayingCount;
  return item;
}

const TPictureCollectionItem& FindPicture(const TImageItems& items, const std::string& name) {
  for (const TPictureCollectionItem& item : items)
    if (item.Name == name) return item;
  throw std::runtime_error("no picture named " + name);
}
