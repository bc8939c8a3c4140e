// The archives the asset generator writes hold what the main menu draws and
// plays, in the shape the menu relies on. Runs in the build folder, where
// the generator has written Data/.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sprites/archive_format.h"

namespace {

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::vector<TPictureCollectionItem>& Res1() {
  static const std::vector<TPictureCollectionItem> items = ReadImageArchive(FileBytes("Data/Res/Res1.dxg"));
  return items;
}

const TPictureCollectionItem* FindPicture(const std::string& name) {
  for (const TPictureCollectionItem& item : Res1())
    if (item.Name == name) return &item;
  return nullptr;
}

struct TButtonPlace {
  int Item, X, Y;
};
constexpr TButtonPlace kPlaces[] = {{1, 284, 27}, {2, 323, 133}, {3, 229, 239},
                                    {4, 56, 342}, {5, 512, 342}, {6, 282, 498}};
const char* const kLooks[] = {"0", "A", "I"};

std::string ButtonName(int item, const char* look) { return "MM_" + std::to_string(item) + "_" + look; }

int ChannelDistance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int shift = 0; shift <= 16; shift += 8)
    d = std::max(d, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return d;
}

TEST(GeneratedMenuArt, BackgroundCoversTheScreen) {
  const TPictureCollectionItem* bg = FindPicture("MMBG");
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->Width(), 792);
  EXPECT_EQ(bg->Height(), 592);
  EXPECT_EQ(bg->PatternCount(), 1);
  EXPECT_FALSE(bg->Transparent);
}

// The three looks of a button swap in place, so they share one size, which
// is the hit box; the boxes stay on screen and apart.
TEST(GeneratedMenuArt, ButtonLooksShareOneHitBox) {
  struct TBox {
    int L, T, R, B;
  };
  std::vector<TBox> boxes;
  for (const TButtonPlace& p : kPlaces) {
    const TPictureCollectionItem* normal = FindPicture(ButtonName(p.Item, "0"));
    ASSERT_NE(normal, nullptr) << p.Item;
    for (const char* look : kLooks) {
      const TPictureCollectionItem* item = FindPicture(ButtonName(p.Item, look));
      ASSERT_NE(item, nullptr) << ButtonName(p.Item, look);
      EXPECT_EQ(item->Width(), normal->Width()) << item->Name;
      EXPECT_EQ(item->Height(), normal->Height()) << item->Name;
      EXPECT_EQ(item->PatternCount(), 1) << item->Name;
      EXPECT_FALSE(item->Transparent) << item->Name;
    }
    const TBox box{p.X, p.Y, p.X + normal->Width(), p.Y + normal->Height()};
    EXPECT_LE(box.R, 792) << p.Item;
    EXPECT_LE(box.B, 592) << p.Item;
    for (const TBox& other : boxes)
      EXPECT_TRUE(box.R <= other.L || other.R <= box.L || box.B <= other.T || other.B <= box.T)
          << "button " << p.Item << " overlaps another";
    boxes.push_back(box);
  }
}

// Each button is the background under it with a caption: its rim matches
// MMBG (so a button fading in over the background shows only its caption
// appearing), its middle does not, and the hovered look differs from the
// normal one.
TEST(GeneratedMenuArt, ButtonsAreCaptionsOverTheBackground) {
  const TPictureCollectionItem* bg = FindPicture("MMBG");
  ASSERT_NE(bg, nullptr);
  for (const TButtonPlace& p : kPlaces)
    for (const char* look : kLooks) {
      const TPictureCollectionItem* item = FindPicture(ButtonName(p.Item, look));
      ASSERT_NE(item, nullptr);
      const TSurface& pic = item->Picture;
      int rim = 0, middle = 0;
      for (int y = 0; y < pic.Height; ++y)
        for (int x = 0; x < pic.Width; ++x) {
          const int d = ChannelDistance(pic.Row(y)[x], bg->Picture.Row(p.Y + y)[p.X + x]);
          if (x == 0 || y == 0 || x == pic.Width - 1 || y == pic.Height - 1)
            rim = std::max(rim, d);
          else
            middle = std::max(middle, d);
        }
      EXPECT_LE(rim, 6) << item->Name;
      EXPECT_GE(middle, 100) << item->Name << " shows no caption";
    }
  for (const TButtonPlace& p : kPlaces) {
    const TSurface& normal = FindPicture(ButtonName(p.Item, "0"))->Picture;
    const TSurface& hovered = FindPicture(ButtonName(p.Item, "A"))->Picture;
    EXPECT_NE(normal.Pixels, hovered.Pixels) << p.Item;
  }
}

TEST(GeneratedArchives, SecondImageListLoads) {
  EXPECT_NO_THROW(ReadImageArchive(FileBytes("Data/Res/Res2.dxg")));
}

struct TPcm {
  int Channels = 0, Rate = 0, Bits = 0;
  std::vector<int16_t> Samples;
};

// Walks the RIFF chunks; leaves Channels 0 when the file is not PCM WAV.
TPcm ParseWav(const std::vector<uint8_t>& riff) {
  TPcm pcm;
  auto u32 = [&](size_t at) { return riff[at] | riff[at + 1] << 8 | riff[at + 2] << 16 | uint32_t(riff[at + 3]) << 24; };
  auto u16 = [&](size_t at) { return riff[at] | riff[at + 1] << 8; };
  if (riff.size() < 12 || std::memcmp(riff.data(), "RIFF", 4) != 0 || std::memcmp(riff.data() + 8, "WAVE", 4) != 0)
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

// Clean effects: 16-bit mono, near -3 dBFS without clipping, silent at both
// ends so they start and stop without a click, and centred on zero.
TEST(GeneratedSounds, MenuEffectsAreCleanAndSized) {
  const std::vector<TWaveCollectionItem> waves = ReadWaveArchive(FileBytes("Data/Res/Sounds.dxw"));
  struct TExpect {
    const char* Name;
    double MinSeconds, MaxSeconds;
  };
  for (const TExpect& e : {TExpect{"Button", 0.03, 0.12}, TExpect{"MenuBegin", 1.0, 2.5}}) {
    const TWaveCollectionItem* wave = nullptr;
    for (const TWaveCollectionItem& w : waves)
      if (w.Name == e.Name) wave = &w;
    ASSERT_NE(wave, nullptr) << e.Name;
    EXPECT_FALSE(wave->Looped) << e.Name;
    const TPcm pcm = ParseWav(wave->Wave);
    ASSERT_EQ(pcm.Channels, 1) << e.Name;
    EXPECT_EQ(pcm.Bits, 16) << e.Name;
    EXPECT_TRUE(pcm.Rate == 22050 || pcm.Rate == 44100) << e.Name;
    ASSERT_FALSE(pcm.Samples.empty()) << e.Name;
    const double seconds = pcm.Samples.size() / static_cast<double>(pcm.Rate);
    EXPECT_GE(seconds, e.MinSeconds) << e.Name;
    EXPECT_LE(seconds, e.MaxSeconds) << e.Name;
    int peak = 0;
    double sum = 0;
    for (int16_t s : pcm.Samples) {
      peak = std::max(peak, std::abs(static_cast<int>(s)));
      sum += s;
    }
    const double peakDb = 20 * std::log10(peak / 32768.0);
    EXPECT_GT(peakDb, -6.0) << e.Name;
    EXPECT_LT(peakDb, -1.0) << e.Name;
    EXPECT_LT(std::abs(sum / pcm.Samples.size()), 0.002 * 32768) << e.Name;
    EXPECT_LT(std::abs(pcm.Samples.front()), 64) << e.Name;
    EXPECT_LT(std::abs(pcm.Samples.back()), 64) << e.Name;
  }
}

}  // namespace
