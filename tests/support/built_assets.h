#pragma once
// What the asset generator has written to Data/Res/ in the build folder, for
// the tests that check the art and sounds the game will load: the archives
// read once per test run, lookups by name, and the pixel and sample readers
// those tests measure with.
#include <cstdint>
#include <string>
#include <vector>

#include "sprites/archive_format.h"

// The pictures of Data/Res/Res<list>.dxg, list 1 or 2.
const std::vector<TPictureCollectionItem>& BuiltPictures(int list);
// nullptr when the list holds no picture of that name.
const TPictureCollectionItem* BuiltPicture(int list, const std::string& name);
// Throws std::runtime_error naming the picture and list when it is missing,
// which fails the test that asked for it.
const TPictureCollectionItem& RequiredPicture(int list, const std::string& name);

const std::vector<TWaveCollectionItem>& BuiltWaves();
// nullptr when Data/Res/Sounds.dxw holds no wave of that name.
const TWaveCollectionItem* BuiltWave(const std::string& name);

// One pixel of a pattern as 0x00RRGGBB.
uint32_t PatternPixel(const TPictureCollectionItem& item, int pattern, int x, int y);
// The item's colour key (a TColor, 0x00BBGGRR) as the 0x00RRGGBB its pixels use.
uint32_t KeyRgb(const TPictureCollectionItem& item);
// The largest difference of the two colours in any one channel.
int ChannelDistance(uint32_t a, uint32_t b);

struct TPcm {
  int Channels = 0, Rate = 0, Bits = 0;
  std::vector<int16_t> Samples;
};

// Walks the RIFF chunks; leaves Channels 0 when the bytes are not a
// well-formed PCM WAV.
TPcm ParseWav(const std::vector<uint8_t>& riff);
