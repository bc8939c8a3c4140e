// The archives the asset generator writes hold what the main menu draws and
// plays, in the shape the menu relies on. Runs in the build folder, where
// the generator has written Data/.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/built_assets.h"
#include "sprites/archive_format.h"

namespace {

struct TButtonPlace {
  int Item, X, Y;
};
constexpr TButtonPlace kPlaces[] = {{1, 284, 27}, {2, 323, 133}, {3, 229, 239},
                                    {4, 56, 342}, {5, 512, 342}, {6, 282, 498}};
const char* const kLooks[] = {"0", "A", "I"};

std::string ButtonName(int item, const char* look) { return "MM_" + std::to_string(item) + "_" + look; }

TEST(GeneratedMenuArt, BackgroundCoversTheScreen) {
  const TPictureCollectionItem* bg = BuiltPicture(1, "MMBG");
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
    const TPictureCollectionItem* normal = BuiltPicture(1, ButtonName(p.Item, "0"));
    ASSERT_NE(normal, nullptr) << p.Item;
    for (const char* look : kLooks) {
      const TPictureCollectionItem* item = BuiltPicture(1, ButtonName(p.Item, look));
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
  const TPictureCollectionItem* bg = BuiltPicture(1, "MMBG");
  ASSERT_NE(bg, nullptr);
  for (const TButtonPlace& p : kPlaces)
    for (const char* look : kLooks) {
      const TPictureCollectionItem* item = BuiltPicture(1, ButtonName(p.Item, look));
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
    const TSurface& normal = BuiltPicture(1, ButtonName(p.Item, "0"))->Picture;
    const TSurface& hovered = BuiltPicture(1, ButtonName(p.Item, "A"))->Picture;
    EXPECT_NE(normal.Pixels, hovered.Pixels) << p.Item;
  }
}

TEST(GeneratedArchives, SecondImageListLoads) {
  EXPECT_NO_THROW(BuiltPictures(2));
}

// Clean effects: 16-bit mono, well under full scale (they sound over the
// menu tune) yet clearly audible, silent at both ends so they start and stop
// without a click, and centred on zero.
TEST(GeneratedSounds, MenuEffectsAreCleanAndSized) {
  struct TExpect {
    const char* Name;
    double MinSeconds, MaxSeconds;
  };
  for (const TExpect& e : {TExpect{"Button", 0.03, 0.12}, TExpect{"MenuBegin", 1.0, 2.5}}) {
    const TWaveCollectionItem* wave = BuiltWave(e.Name);
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
    EXPECT_GT(peakDb, -18.0) << e.Name;
    EXPECT_LT(peakDb, -6.0) << e.Name;
    EXPECT_LT(std::abs(sum / pcm.Samples.size()), 0.002 * 32768) << e.Name;
    EXPECT_LT(std::abs(pcm.Samples.front()), 64) << e.Name;
    EXPECT_LT(std::abs(pcm.Samples.back()), 64) << e.Name;
  }
}

}  // namespace
