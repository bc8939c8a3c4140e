// Damaged data the way players' machines produce it: a folder where a file
// should be, hostile pattern sizes in an archive, streams the writer must
// give back unchanged, a start-up picture missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>

#include "support/script_support.h"
#include "sprites/archive_format.h"
#include "sprites/background_sprite.h"
#include "sprites/component_stream.h"
#include "sprites/image_sprite.h"
#include "sprites/sprite.h"
#include "sprites/image_list.h"

namespace {

namespace fs = std::filesystem;

struct TFolderCase {
  const char* File;
  bool Starts;          // the game still starts (else it stops naming the file)
  const char* Message;  // what the output says, when it stops
};

void PrintTo(const TFolderCase& c, std::ostream* os) { *os << c.File; }

class FolderInPlaceOfAFile : public ::testing::TestWithParam<TFolderCase> {};

// The game starts, plays the menu, opens the race and leaves the game
// (which saves); with a folder in the way only that file's part is lost.
TEST_P(FolderInPlaceOfAFile, IsRefusedWithoutACrash) {
  const TFolderCase c = GetParam();
  TGameFolder game;
  fs::create_directories(game.Root / "Data/Music");
  for (const char* tune : {"Menu.xm", "Race.xm"}) fs::copy_file(fs::path("Data/Music") / tune, game.Root / "Data/Music" / tune);
  fs::remove(game.Root / c.File);
  fs::create_directories(game.Root / c.File);
  const TScriptResult r = RunScript(
      "wait 50\ndump\nmouse 400 60\nwait 1\nclick\nwait 2\nmouse 250 495\nwait 1\nclick\nwait 3\ndump\n"
      "key down Esc\nwait 1\nkey up Esc\nwait 1\nkey down Y\nwait 1\nkey up Y\nwait 300\n"
      "close\nwait 1\nkey down Y\nwait 1\nkey up Y\nwait 1\n",
      game.Root.string());
  if (!c.Starts) {
    EXPECT_EQ(r.ExitCode, 1) << r.Output;
    EXPECT_TRUE(r.Dumps.empty());
    EXPECT_NE(r.Output.find(std::string(c.File) + ": " + c.Message), std::string::npos) << r.Output;
    return;
  }
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 2u) << r.Output;
  EXPECT_EQ(JsonNumber(r.Dumps[0], "GameScreen"), 1);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "GameScreen"), 6);
  EXPECT_TRUE(fs::is_directory(game.Root / c.File)) << "left as it was";
}

INSTANTIATE_TEST_SUITE_P(
    Files, FolderInPlaceOfAFile,
    ::testing::Values(TFolderCase{"Data/Res/Res1.dxg", false, "is a folder, not a file"},
                      TFolderCase{"Data/Res/Res2.dxg", false, "is a folder, not a file"},
                      TFolderCase{"Data/Res/Sounds.dxw", false, "is a folder, not a file"},
                      TFolderCase{"Data/Music/Menu.xm", true, ""}, TFolderCase{"Data/Music/Race.xm", true, ""},
                      TFolderCase{"Data/Save/options", true, ""}, TFolderCase{"Data/Save/hs", true, ""}),
    [](const auto& info) {
      std::string n = fs::path(info.param.File).filename().string();
      std::replace(n.begin(), n.end(), '.', '_');
      return n;
    });

TEST(StartUpPictures, AMissingMenuPictureStopsTheGameWithTheLookupError) {
  TGameFolder game;
  const auto path = game.Root / "Data/Res/Res1.dxg";
  std::vector<uint8_t> colorTable;
  auto items = ReadImageArchive(ReadArchiveFile(path.string()), &colorTable);
  items.erase(std::remove_if(items.begin(), items.end(), [](const auto& i) { return i.Name == "MM_4_0"; }),
              items.end());
  const auto bytes = WriteImageArchive(items, colorTable);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  const TScriptResult r = RunScript("wait 5\ndump\n", game.Root.string());
  EXPECT_EQ(r.ExitCode, 1) << r.Output;
  EXPECT_TRUE(r.Dumps.empty());
  EXPECT_NE(r.Output.find("Image 'MM_4_0' not found"), std::string::npos) << r.Output;
}

// Pattern sizes and gaps straight from a hostile archive, over a 10 x 10
// bitmap. Counts worked by hand: columns = (10 + gap) / (size + gap), with
// the sums too large for an int.
struct TGridCase {
  int PatternWidth, PatternHeight, SkipWidth, SkipHeight;
  int Count;
};

void PrintTo(const TGridCase& c, std::ostream* os) {
  *os << c.PatternWidth << "x" << c.PatternHeight << " skip " << c.SkipWidth << "," << c.SkipHeight;
}

class HostileGrid : public ::testing::TestWithParam<TGridCase> {};

TEST_P(HostileGrid, CountsWholePatternsAndDrawsNothingOutsideTheBitmap) {
  const TGridCase c = GetParam();
  TPictureCollectionItem item;
  item.Picture.Resize(10, 10);
  std::fill(item.Picture.Pixels.begin(), item.Picture.Pixels.end(), 0x123456u);
  item.Transparent = false;
  item.PatternWidth = c.PatternWidth;
  item.PatternHeight = c.PatternHeight;
  item.SkipWidth = c.SkipWidth;
  item.SkipHeight = c.SkipHeight;
  ASSERT_EQ(item.PatternCount(), c.Count);
  TSurface dest;
  dest.Resize(12, 12);
  for (int i = -1; i <= c.Count; ++i) {
    const TPixelView view = item.Pattern(i);
    if (i < 0 || i >= c.Count) {
      EXPECT_EQ(view.Pixels, nullptr) << i;
      continue;
    }
    ASSERT_NE(view.Pixels, nullptr) << i;
    // The whole pattern lies inside the bitmap's pixels.
    const auto first = view.Pixels - item.Picture.Pixels.data();
    const auto last = first + static_cast<ptrdiff_t>(view.Height - 1) * view.Stride + view.Width - 1;
    EXPECT_GE(first, 0);
    EXPECT_LT(last, static_cast<ptrdiff_t>(item.Picture.Pixels.size()));
    item.Draw(dest, 0, 0, i);
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, HostileGrid,
                         ::testing::Values(TGridCase{INT_MAX, 0, 0, 0, 0}, TGridCase{0, INT_MAX, 0, INT_MAX, 0},
                                           TGridCase{3, 0, INT_MAX, 0, 1}, TGridCase{4, 5, 0, INT_MAX - 4, 2},
                                           TGridCase{INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0},
                                           TGridCase{3, 0, INT_MIN, INT_MIN, 3}, TGridCase{1, 1, 0, 0, 100}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

// A tile or picture whose pattern size is as large as an int holds: the
// road's box and a sprite's box stop at the largest int, nothing is drawn.
TEST(HostileGrid, HugePatternsGiveBoxesThatDoNotWrapAndDrawNothing) {
  BackSurface.Resize(SurfaceWidth, SurfaceHeight);
  std::fill(BackSurface.Pixels.begin(), BackSurface.Pixels.end(), 0u);
  TPictureCollectionItem item;
  item.Picture.Resize(72, 72);
  std::fill(item.Picture.Pixels.begin(), item.Picture.Pixels.end(), 0xFFFFFFu);
  item.Transparent = false;
  item.PatternWidth = INT_MAX;
  item.PatternHeight = INT_MAX;
  MDXSpriteEngine.Clear();
  auto* road = new TBackgroundSprite(&MDXSpriteEngine);
  road->SetMapSize(13, 10);
  road->SetImage(&item);
  road->X = 100;
  auto* sprite = new TImageSprite(&MDXSpriteEngine);
  sprite->SetImage(&item);
  sprite->X = 600;
  sprite->AnimCount = 1;
  EXPECT_EQ(road->Width, INT_MAX);
  EXPECT_EQ(road->GetBoundsRect().Right, INT_MAX);
  EXPECT_EQ(sprite->GetBoundsRect().Right, INT_MAX);
  EXPECT_EQ(sprite->GetBoundsRect().Bottom, INT_MAX);
  MDXSpriteEngine.Draw();
  EXPECT_TRUE(std::all_of(BackSurface.Pixels.begin(), BackSurface.Pixels.end(), [](uint32_t p) { return p == 0; }));
  MDXSpriteEngine.Clear();
}

std::vector<uint8_t> Bytes(std::initializer_list<int> list) {
  std::vector<uint8_t> v;
  for (int b : list) v.push_back(static_cast<uint8_t>(b));
  return v;
}

// Children with an empty class name, and a flags byte in front of one that
// needs none: what was read is what is written.
TEST(ComponentStreamRoundTrip, EmptyClassNamesAndSpareFlagsBytesComeBackAsRead) {
  const std::vector<uint8_t> stream = Bytes({'T', 'P', 'F', '0',
                                             1, 'R', 0, 0,           // root "R", no name, no properties
                                             0xF0, 0, 1, 'a', 0, 0,  // child: flags byte, empty class, name "a"
                                             0xF0, 1, 'C', 0, 0, 0,  // child "C": a flags byte it does not need
                                             0,                      // end of the root's children
                                             0});                    // end of the root... and of the children
  size_t used = 0;
  const TStreamObject root = ReadComponentStream(stream.data(), stream.size() - 1, &used);
  ASSERT_EQ(root.Children.size(), 2u);
  EXPECT_EQ(root.Children[0].ClassName, "");
  EXPECT_EQ(root.Children[0].Name, "a");
  EXPECT_EQ(used, stream.size() - 1);
  const std::vector<uint8_t> back = WriteComponentStream(root);
  EXPECT_EQ(back, std::vector<uint8_t>(stream.begin(), stream.end() - 1));

  // Built in code: a child of no class still reads back as a child.
  TStreamObject built;
  built.ClassName = "TRoot";
  built.Children.resize(2);
  built.Children[1].ClassName = "TLast";
  const TStreamObject again = ReadComponentStream(WriteComponentStream(built));
  ASSERT_EQ(again.Children.size(), 2u);
  EXPECT_EQ(again.Children[0].ClassName, "");
  EXPECT_EQ(again.Children[1].ClassName, "TLast");
}

}  // namespace
