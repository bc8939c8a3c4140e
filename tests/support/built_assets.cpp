#include "support/built_assets.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

const std::vector<TPictureCollectionItem>& BuiltPictures(int list) {
  static const std::vector<TPictureCollectionItem> res1 = ReadImageArchive(ReadArchiveFile("Data/Res/Res1.dxg"));
  static const std::vector<TPictureCollectionItem> res2 = ReadImageArchive(ReadArchiveFile("Data/Res/Res2.dxg"));
  if (list != 1 && list != 2) throw std::invalid_argument("there is no Res" + std::to_string(list) + ".dxg");
  return list == 1 ? res1 : res2;
}

const TPictureCollectionItem* BuiltPicture(int list, const std::string& name) {
  for (const TPictureCollectionItem& item : BuiltPictures(list))
    if (item.Name == name) return &item;
  return nullptr;
}

const TPictureCollectionItem& RequiredPicture(int list, const std::string& name) {
  if (const TPictureCollectionItem* item = BuiltPicture(list, name)) return *item;
  throw std::runtime_error(name + " is not in Res" + std::to_string(list) + ".dxg");
}

const std::vector<TWaveCollectionItem>& BuiltWaves() {
  static const std::vector<TWaveCollectionItem> waves = ReadWaveArchive(ReadArchiveFile("Data/Res/Sounds.dxw"));
  return waves;
}

const TWaveCollectionItem* BuiltWave(const std::string& name) {
  for (const TWaveCollectionItem& wave : BuiltWaves())
    if (wave.Name == name) return &wave;
  return nullptr;
}

uint32_t PatternPixel(const TPictureCollectionItem& item, int pattern, int x, int y) {
  const TPixelView view = item.Pattern(pattern);
  return view.Pixels[static_cast<size_t>(y) * view.Stride + x] & 0xFFFFFFu;
}

uint32_t KeyRgb(const TPictureCollectionItem& item) {
  const uint32_t c = static_cast<uint32_t>(item.TransparentColor);
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

int ChannelDistance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int shift = 0; shift <= 16; shift += 8)
    d = std::max(d, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return d;
}

TPcm ParseWav(const std::vector<uint8_t>& riff) {
  TPcm pcm;
  auto u32 = [&](size_t at) {
    return riff[at] | riff[at + 1] << 8 | riff[at + 2] << 16 | uint32_t(riff[at + 3]) << 24;
  };
  auto u16 = [&](size_t at) { return riff[at] | riff[at + 1] << 8; };
  if (riff.size() < 12 || std::memcmp(riff.data(), "RIFF", 4) != 0 || std::memcmp(riff.data() + 8, "WAVE", 4) != 0 ||
      u32(4) + 8 != riff.size())
    return pcm;
  for (size_t at = 12; at + 8 <= riff.size();) {
    const uint32_t size = u32(at + 4);
    if (at + 8 + size > riff.size()) return TPcm{};
    if (std::memcmp(riff.data() + at, "fmt ", 4) == 0 && u16(at + 8) == 1) {
      pcm.Channels = u16(at + 10);
      pcm.Rate = static_cast<int>(u32(at + 12));
      pcm.Bits = u16(at + 22);
    } else if (std::memcmp(riff.data() + at, "data", 4) == 0) {
      pcm.Samples.resize(size / 2);
      std::memcpy(pcm.Samples.data(), riff.data() + at + 8, pcm.Samples.size() * 2);
    }
    at += 8 + size + (size & 1);
  }
  return pcm;
}
