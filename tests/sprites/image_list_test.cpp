// The picture and sound archives and the named lists loaded from them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <cstdio>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gfx/cp1251.h"
#include "sprites/archive_format.h"
#include "sprites/component_stream.h"
#include "sprites/image_list.h"
#include "sprites/lookup_error.h"
#include "sprites/name_index.h"
#include "sprites/wave_list.h"

namespace {

std::string FixturePath(const std::string& name) { return std::string(VT_FIXTURES) + "/" + name; }

std::vector<uint8_t> ReadFixture(const std::string& name) {
  std::ifstream f(FixturePath(name), std::ios::binary);
  EXPECT_TRUE(f.good()) << name;
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// The test's files, in a folder of this run's own that goes when it ends.
std::string TempPath(const std::string& name) {
  namespace fs = std::filesystem;
  static const struct TFolder {
    fs::path Path = fs::temp_directory_path() / ("voltrace2-archives-" + std::to_string(getpid()));
    TFolder() { fs::create_directories(Path); }
    ~TFolder() { fs::remove_all(Path); }
  } folder;
  return (folder.Path / ("vt_archive_" + name)).string();
}

std::string WriteTemp(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  return path;
}

// sample.dxg without its fourth item, the one with an unknown graphic class.
std::vector<uint8_t> SampleWithoutBlob() {
  TStreamObject root = ReadComponentStream(ReadFixture("sample.dxg"));
  root.Properties[0].Value.Items.resize(3);
  return WriteComponentStream(root);
}

TSurface Gradient(int w, int h) {
  TSurface s;
  s.Resize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.Row(y)[x] = static_cast<uint32_t>(0x010203 * (x + 1) + 0x400000 * y);
  return s;
}

void Put32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

// A BMP file laid out by hand, independently of the decoder. `values` are
// palette indices for up to 8 bits per pixel, 0x00RRGGBB colours above.
std::vector<uint8_t> HandMadeBmp(int w, int h, int bpp, bool topDown, const std::vector<uint32_t>& values,
                                 const std::vector<uint32_t>& palette) {
  int stride = (w * bpp + 31) / 32 * 4;
  std::vector<uint8_t> pixels(static_cast<size_t>(stride) * h, 0);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = pixels.data() + static_cast<size_t>(topDown ? y : h - 1 - y) * stride;
    for (int x = 0; x < w; ++x) {
      uint32_t v = values[static_cast<size_t>(y * w + x)];
      int bit = x * bpp;
      switch (bpp) {
        case 1:
        case 4:
        case 8: row[bit / 8] |= static_cast<uint8_t>(v << (8 - bpp - bit % 8)); break;
        case 16: {
          uint32_t p = ((v >> 19 & 31) << 10) | ((v >> 11 & 31) << 5) | (v >> 3 & 31);
          row[x * 2] = static_cast<uint8_t>(p);
          row[x * 2 + 1] = static_cast<uint8_t>(p >> 8);
          break;
        }
        default:
          for (int i = 0; i < 3; ++i) row[x * bpp / 8 + i] = static_cast<uint8_t>(v >> (8 * i));
      }
    }
  }
  std::vector<uint8_t> bmp = {'B', 'M'};
  uint32_t offBits = 54 + static_cast<uint32_t>(palette.size()) * 4;
  Put32(bmp, offBits + static_cast<uint32_t>(pixels.size()));
  Put32(bmp, 0);
  Put32(bmp, offBits);
  Put32(bmp, 40);
  Put32(bmp, static_cast<uint32_t>(w));
  Put32(bmp, static_cast<uint32_t>(topDown ? -h : h));
  bmp.push_back(1), bmp.push_back(0);
  bmp.push_back(static_cast<uint8_t>(bpp)), bmp.push_back(0);
  for (int i = 0; i < 6; ++i) Put32(bmp, i == 4 ? static_cast<uint32_t>(palette.size()) : 0);
  for (uint32_t c : palette) Put32(bmp, c);
  bmp.insert(bmp.end(), pixels.begin(), pixels.end());
  return bmp;
}

std::vector<uint8_t> BitmapPicture(const std::vector<uint8_t>& bmp) {
  std::vector<uint8_t> pic = {7, 'T', 'B', 'i', 't', 'm', 'a', 'p'};
  Put32(pic, static_cast<uint32_t>(bmp.size()));
  pic.insert(pic.end(), bmp.begin(), bmp.end());
  return pic;
}

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EArchiveError& e) {
    return e.what();
  }
  return "(no error)";
}

// ---------------------------------------------------------------- pictures

TEST(ImageArchive, SampleItemsDecodeFromBitmapAndPng) {
  std::vector<uint8_t> colorTable;
  std::vector<TPictureCollectionItem> items = ReadImageArchive(SampleWithoutBlob(), &colorTable);
  ASSERT_EQ(items.size(), 3u);
  ASSERT_EQ(colorTable.size(), 1024u);
  EXPECT_EQ(colorTable[1], 0xFF);

  const TPictureCollectionItem& ship = items[0];  // 24-bit, bottom-up
  EXPECT_EQ(ship.Name, "ship");
  ASSERT_EQ(ship.Picture.Width, 5);
  ASSERT_EQ(ship.Picture.Height, 3);
  EXPECT_FALSE(ship.Transparent);
  EXPECT_EQ(ship.TransparentColor, 0xFF00FF);
  EXPECT_EQ(ship.Picture.Row(0)[0], 0x000080u);
  EXPECT_EQ(ship.Picture.Row(1)[1], 0x305080u);
  EXPECT_EQ(ship.Picture.Row(2)[4], 0xC0A080u);

  const TPictureCollectionItem& png = items[1];  // 16-bit RGB PNG
  EXPECT_EQ(png.Name, "it's #2");
  ASSERT_EQ(png.Picture.Width, 7);
  ASSERT_EQ(png.Picture.Height, 2);
  EXPECT_EQ(png.SkipWidth, 1);
  EXPECT_TRUE(png.Transparent);
  EXPECT_EQ(png.Picture.Row(0)[0], 0x000080u);
  EXPECT_EQ(png.Picture.Row(0)[6], 0x200080u);
  EXPECT_EQ(png.Picture.Row(1)[2], 0x605080u);

  const TPictureCollectionItem& tiles = items[2];  // 32-bit
  EXPECT_TRUE(tiles.SystemMemory);
  EXPECT_EQ(tiles.SkipHeight, 2);
  EXPECT_EQ(tiles.TransparentColor, -16777201);
  EXPECT_EQ(tiles.Picture.Row(0)[3], 0x900080u);
  EXPECT_EQ(tiles.Picture.Row(3)[1], 0x30F080u);
  EXPECT_EQ(tiles.PatternCount(), 2);
}

TEST(ImageArchive, UnknownGraphicClassIsNamedInTheError) {
  std::string message = ErrorOf([] { ReadImageArchive(ReadFixture("sample.dxg")); });
  EXPECT_NE(message.find("TFooGraphic"), std::string::npos) << message;
  EXPECT_NE(message.find("blob"), std::string::npos) << message;

  TPictureCollection list;
  std::string path = FixturePath("sample.dxg");
  message = ErrorOf([&] { list.LoadFromFile(path); });
  EXPECT_EQ(message.rfind(path + ": ", 0), 0u) << message;
  EXPECT_NE(message.find("TFooGraphic"), std::string::npos) << message;
}

TEST(ImageArchive, WrittenArchiveReadsBackEqualAndIsDeterministic) {
  std::vector<TPictureCollectionItem> items(3);
  items[0].Name = Cp1251FromUtf8("Машина");
  items[0].Picture = Gradient(6, 4);
  items[0].PatternWidth = 3;
  items[0].PatternHeight = 2;
  items[0].SkipWidth = -1;
  items[0].SkipHeight = 300;
  items[0].SystemMemory = true;
  items[0].Transparent = false;
  items[0].TransparentColor = 0x00123456;
  items[1].Name = std::string(280, 'n');
  items[1].Picture = Gradient(1, 1);
  items[1].TransparentColor = -70000;
  items[2].Name = "empty";

  std::vector<uint8_t> bytes = WriteImageArchive(items);
  EXPECT_EQ(WriteImageArchive(items), bytes);
  std::vector<uint8_t> colorTable;
  std::vector<TPictureCollectionItem> back = ReadImageArchive(bytes, &colorTable);
  EXPECT_EQ(colorTable.size(), 1024u);
  ASSERT_EQ(back.size(), items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(back[i].Name, items[i].Name);
    EXPECT_EQ(back[i].Picture.Width, items[i].Picture.Width);
    EXPECT_EQ(back[i].Picture.Height, items[i].Picture.Height);
    EXPECT_EQ(back[i].Picture.Pixels, items[i].Picture.Pixels);
    EXPECT_EQ(back[i].PatternWidth, items[i].PatternWidth);
    EXPECT_EQ(back[i].PatternHeight, items[i].PatternHeight);
    EXPECT_EQ(back[i].SkipWidth, items[i].SkipWidth);
    EXPECT_EQ(back[i].SkipHeight, items[i].SkipHeight);
    EXPECT_EQ(back[i].SystemMemory, items[i].SystemMemory);
    EXPECT_EQ(back[i].Transparent, items[i].Transparent);
    EXPECT_EQ(back[i].TransparentColor, items[i].TransparentColor);
  }

  // Every item carries every property, not only those that differ from the
  // defaults.
  std::string text = ObjectBinaryToText(bytes);
  for (const char* name : {"Name", "PatternHeight", "PatternWidth", "Picture", "SkipHeight", "SkipWidth",
                           "SystemMemory", "Transparent", "TransparentColor"}) {
    size_t count = 0;
    for (size_t at = text.find(std::string("      ") + name + " = "); at != std::string::npos;
         at = text.find(std::string("      ") + name + " = ", at + 1))
      ++count;
    EXPECT_EQ(count, items.size()) << name;
  }
}

TEST(ImageArchive, PropertiesInAnyOrderWithDefaultsAndUnknownOnesSkipped) {
  TStreamCollectionItem entry;
  entry.Properties = {
      TStreamProperty{"Volume", TStreamValue::Integer(-5)},
      TStreamProperty{"Picture", TStreamValue::Binary(EncodePicture(Gradient(2, 2)))},
      TStreamProperty{"transparentcolor", TStreamValue::Ident("clRed")},
      TStreamProperty{"Name", TStreamValue::String("late")},
  };
  TStreamValue list;
  list.Type = TValueType::vaCollection;
  list.Items = {entry};
  TStreamObject root;
  root.ClassName = "TSomethingElse";
  root.Properties = {TStreamProperty{"Extra", TStreamValue::Boolean(true)}, TStreamProperty{"List", list}};

  std::vector<TPictureCollectionItem> items = ReadImageArchive(WriteComponentStream(root));
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].Name, "late");
  EXPECT_EQ(items[0].TransparentColor, 0x0000FF);
  EXPECT_TRUE(items[0].Transparent);
  EXPECT_FALSE(items[0].SystemMemory);
  EXPECT_EQ(items[0].PatternWidth, 0);
  EXPECT_EQ(items[0].SkipHeight, 0);
  EXPECT_EQ(items[0].Picture.Pixels, Gradient(2, 2).Pixels);
}

struct TBmpCase {
  int Bpp;
  bool TopDown;
};

void PrintTo(const TBmpCase& c, std::ostream* os) { *os << c.Bpp << " bpp" << (c.TopDown ? " top-down" : ""); }

class BmpDecoding : public ::testing::TestWithParam<TBmpCase> {};

TEST_P(BmpDecoding, PixelsComeOutInPlaceWithRowPaddingSkipped) {
  const int w = 5, h = 3;  // 5 pixels never fill a row to a multiple of 4 bytes
  int bpp = GetParam().Bpp;
  std::vector<uint32_t> palette;
  std::vector<uint32_t> values, expected;
  if (bpp <= 8) {
    int colours = 1 << bpp;
    for (int i = 0; i < colours; ++i) palette.push_back(static_cast<uint32_t>(0x102030 + i * 0x0F0B07) & 0xFFFFFF);
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (bpp <= 8) {
        uint32_t index = static_cast<uint32_t>(x * 3 + y * 7) % palette.size();
        values.push_back(index);
        expected.push_back(palette[index]);
      } else if (bpp == 16) {  // 5-bit channels at their extremes scale exactly
        uint32_t c = (x & 1 ? 0xFF0000u : 0) | (y & 1 ? 0x00FF00u : 0) | (x == y ? 0x0000FFu : 0);
        values.push_back(c);
        expected.push_back(c);
      } else {
        uint32_t c = static_cast<uint32_t>(0x10 * x << 16 | 0x20 * y << 8 | (x * 37 + y * 11));
        values.push_back(c);
        expected.push_back(c);
      }
    }
  TSurface s = DecodePicture(BitmapPicture(HandMadeBmp(w, h, bpp, GetParam().TopDown, values, palette)));
  ASSERT_EQ(s.Width, w);
  ASSERT_EQ(s.Height, h);
  EXPECT_EQ(s.Pixels, expected);
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpDecoding,
                         ::testing::Values(TBmpCase{1, false}, TBmpCase{4, true}, TBmpCase{8, false},
                                           TBmpCase{16, true}, TBmpCase{24, false}, TBmpCase{24, true},
                                           TBmpCase{32, true}),
                         [](const auto& info) {
                           return std::to_string(info.param.Bpp) + (info.param.TopDown ? "TopDown" : "BottomUp");
                         });

TEST(PictureData, BrokenGraphicsAreRefusedBeforeAnythingLarge) {
  std::vector<uint8_t> good = HandMadeBmp(5, 3, 24, false, std::vector<uint32_t>(15, 0x123456), {});
  auto patched = [&](size_t at, uint32_t v) {
    std::vector<uint8_t> b = good;
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    return BitmapPicture(b);
  };
  std::vector<uint8_t> cutPixels = BitmapPicture(std::vector<uint8_t>(good.begin(), good.end() - 1));
  std::vector<uint8_t> lyingLength = BitmapPicture(good);
  lyingLength[8] = 0xFF;

  std::vector<uint8_t> png;
  {
    std::vector<uint8_t> sample = ReadFixture("sample.dxg");
    const uint8_t sig[] = {0x89, 'P', 'N', 'G'};
    auto at = std::search(sample.begin(), sample.end(), std::begin(sig), std::end(sig));
    png.assign(at, at + 0x75 - 10);  // the Picture's bytes after "\x09TPngImage"
  }
  std::vector<uint8_t> pngPicture = {9, 'T', 'P', 'n', 'g', 'I', 'm', 'a', 'g', 'e'};
  std::vector<uint8_t> goodPng = pngPicture;
  goodPng.insert(goodPng.end(), png.begin(), png.end());
  ASSERT_EQ(DecodePicture(goodPng).Width, 7);
  std::vector<uint8_t> cutPng = pngPicture;
  cutPng.insert(cutPng.end(), png.begin(), png.begin() + 60);
  std::vector<uint8_t> hugePng = goodPng;
  hugePng[10 + 18] = 0x08, hugePng[10 + 19] = 0x00;  // 2048 x 2048 from 107 bytes
  hugePng[10 + 22] = 0x08, hugePng[10 + 23] = 0x00;

  const struct {
    const char* Label;
    std::vector<uint8_t> Picture;
    const char* Problem;
  } cases[] = {
      {"empty", {}, "empty"},
      {"class name cut", {9, 'T', 'P'}, "class name"},
      {"unknown class", {4, 'T', 'G', 'I', 'F', 1, 2}, "unknown graphic class TGIF"},
      {"not a BMP", BitmapPicture({'X', 'Y', 0, 0, 0, 0}), "not a BMP"},
      {"huge size", patched(18, 8000), "truncated"},
      {"impossible size", patched(18, 0x7FFFFFFF), "impossible size"},
      {"RLE", patched(30, 1), "compressed"},
      {"pixels cut", cutPixels, "truncated"},
      {"length past end", lyingLength, "runs past"},
      {"PNG cut", cutPng, "PNG"},
      {"PNG lies about its size", hugePng, "too short"},
  };
  for (const auto& c : cases) {
    std::string message = ErrorOf([&] { DecodePicture(c.Picture); });
    EXPECT_NE(message.find(c.Problem), std::string::npos) << c.Label << ": " << message;
  }
}

// ---------------------------------------------------------------- patterns

struct TGridCase {
  int BitmapWidth, PatternWidth, SkipWidth, Columns;
};

void PrintTo(const TGridCase& c, std::ostream* os) { *os << c.BitmapWidth << " px"; }

class PatternGrid : public ::testing::TestWithParam<TGridCase> {};

TEST_P(PatternGrid, ColumnsCountWholePatternsWithGapsBetween) {
  const TGridCase& c = GetParam();
  TPictureCollectionItem item;
  item.Picture.Resize(c.BitmapWidth, 20);
  item.PatternWidth = c.PatternWidth;
  item.SkipWidth = c.SkipWidth;
  item.PatternHeight = 8;
  item.SkipHeight = 2;  // (20 + 2) div (8 + 2): two rows
  EXPECT_EQ(item.PatternCount(), c.Columns * 2);
  if (c.Columns > 0) {
    EXPECT_NE(item.Pattern(c.Columns * 2 - 1).Pixels, nullptr);
  }
  EXPECT_EQ(item.Pattern(c.Columns * 2).Pixels, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Widths, PatternGrid,
                         ::testing::Values(TGridCase{100, 30, 5, 3}, TGridCase{101, 30, 5, 3},
                                           TGridCase{102, 30, 5, 3}, TGridCase{103, 30, 5, 3},
                                           TGridCase{104, 30, 5, 3}, TGridCase{99, 30, 5, 2},
                                           TGridCase{90, 30, 0, 3}, TGridCase{29, 30, 0, 0},
                                           TGridCase{100, 0, 7, 1}));

TEST(PatternGrid, PatternsAreCutRowByRowWithTheColourKeyConverted) {
  TPictureCollectionItem item;
  item.Picture = Gradient(7, 5);
  item.PatternWidth = 2;
  item.PatternHeight = 2;
  item.SkipWidth = 1;
  item.SkipHeight = 1;
  item.TransparentColor = 0x00112233;  // TColor: blue 11, green 22, red 33
  ASSERT_EQ(item.PatternCount(), 4);
  EXPECT_EQ(item.Width(), 2);
  TPixelView third = item.Pattern(3);
  EXPECT_EQ(third.Pixels, item.Picture.Row(3) + 3);
  EXPECT_EQ(third.Stride, 7);
  EXPECT_EQ(third.Width, 2);
  EXPECT_EQ(third.Height, 2);
  EXPECT_TRUE(third.Keyed);
  EXPECT_EQ(third.Key, 0x332211u);
  EXPECT_EQ(item.Pattern(1).Pixels, item.Picture.Row(0) + 3);
  EXPECT_EQ(item.Pattern(-1).Pixels, nullptr);

  item.PatternWidth = 0;  // the whole bitmap's width
  EXPECT_EQ(item.Width(), 7);
  EXPECT_EQ(item.PatternCount(), 2);
}

TEST(PatternGrid, DrawPutsAPatternAndAnIndexOutOfRangeDrawsNothing) {
  TPictureCollectionItem item;
  item.Picture = Gradient(4, 2);
  item.PatternWidth = 2;
  item.Transparent = false;
  TSurface dest;
  dest.Resize(8, 8);
  for (int bad : {-1, 2, 1000}) {
    item.Draw(dest, 1, 1, bad);
    item.DrawAlpha(dest, TRect{0, 0, 8, 8}, bad, 255);
    item.DrawRotate(dest, 4, 4, 2, 2, bad, 0.5, 0.5, 0);
  }
  EXPECT_EQ(dest.Pixels, std::vector<uint32_t>(64, 0));
  item.Draw(dest, 1, 1, 1);
  EXPECT_EQ(dest.Row(1)[1], item.Picture.Row(0)[2]);
  EXPECT_EQ(dest.Row(2)[2], item.Picture.Row(1)[3]);
  EXPECT_EQ(dest.Row(1)[3], 0u);
}

// ---------------------------------------------------------------- lookup

TEST(NameLookup, FoldsExactlyTheLatinAndCyrillicCapitals) {
  const unsigned char pairs[][2] = {{'A', 'a'},   {'Z', 'z'},   {0xC0, 0xE0}, {0xDF, 0xFF}, {0xA8, 0xB8},
                                    {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8F, 0x9F},
                                    {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4}, {0xAA, 0xBA}, {0xAF, 0xBF},
                                    {0xB2, 0xB3}, {0xBD, 0xBE}};
  for (const auto& p : pairs) {
    EXPECT_EQ(FoldNameByte(p[0]), p[1]) << int(p[0]);
    EXPECT_EQ(FoldNameByte(p[1]), p[1]) << int(p[1]);
  }
  int changed = 0;
  for (int b = 0; b < 256; ++b) changed += FoldNameByte(static_cast<unsigned char>(b)) != b;
  EXPECT_EQ(changed, 26 + 32 + 15);
  EXPECT_EQ(FoldNameCase(Cp1251FromUtf8("Ёж_MMBG №1")), Cp1251FromUtf8("ёж_mmbg №1"));
}

TEST(NameLookup, FindIgnoresLetterCaseAndNamesWhatIsMissing) {
  TPictureCollection list;
  list.Items.resize(4);
  list.Items[0].Name = "MMBG";
  list.Items[1].Name = Cp1251FromUtf8("Ёлка");
  list.Items[2].Name = "mmbg";  // a later duplicate never wins
  list.Items[3].Name = std::string(100, 'L');
  list.Reindex();
  EXPECT_EQ(&list.Find("mmbg"), &list.Items[0]);
  EXPECT_EQ(&list.Find("MmBg"), &list.Items[0]);
  EXPECT_EQ(&list.Find(Cp1251FromUtf8("ёЛКА")), &list.Items[1]);
  EXPECT_EQ(&list.Find(std::string(100, 'l')), &list.Items[3]);
  try {
    list.Find("Car12");
    FAIL();
  } catch (const ELookupError& e) {
    EXPECT_STREQ(e.what(), "Image 'Car12' not found");
  }
  list.Clear();
  EXPECT_THROW(list.Find("MMBG"), ELookupError);
}

// ---------------------------------------------------------------- sounds

TEST(WaveArchive, SampleLoadsWithRiffWavesAndFindsByName) {
  TWaveCollection list;
  list.LoadFromFile(FixturePath("sample-waves.dxw"));
  ASSERT_EQ(list.Items.size(), 2u);
  const TWaveCollectionItem& beep = list.Find("BEEP");
  EXPECT_EQ(&beep, &list.Items[0]);
  EXPECT_FALSE(beep.Looped);
  EXPECT_EQ(beep.MaxPlayingCount, 4);
  ASSERT_GE(beep.Wave.size(), 12u);
  EXPECT_EQ(std::string(beep.Wave.begin(), beep.Wave.begin() + 4), "RIFF");
  EXPECT_EQ(std::string(beep.Wave.begin() + 8, beep.Wave.begin() + 12), "WAVE");
  uint32_t riffSize = beep.Wave[4] | beep.Wave[5] << 8 | beep.Wave[6] << 16 | static_cast<uint32_t>(beep.Wave[7]) << 24;
  EXPECT_EQ(riffSize + 8, beep.Wave.size());
  const TWaveCollectionItem& engine = list.Find("Engine");
  EXPECT_TRUE(engine.Looped);
  EXPECT_EQ(engine.MaxPlayingCount, 1);
  try {
    list.Find("Horn");
    FAIL();
  } catch (const ELookupError& e) {
    EXPECT_STREQ(e.what(), "Wave 'Horn' not found");
  }

  std::vector<uint8_t> bytes = WriteWaveArchive(list.Items);
  std::vector<TWaveCollectionItem> back = ReadWaveArchive(bytes);
  ASSERT_EQ(back.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(back[i].Name, list.Items[i].Name);
    EXPECT_EQ(back[i].Wave, list.Items[i].Wave);
    EXPECT_EQ(back[i].Looped, list.Items[i].Looped);
    EXPECT_EQ(back[i].MaxPlayingCount, list.Items[i].MaxPlayingCount);
  }
  EXPECT_EQ(WriteWaveArchive(back), bytes);
}

TEST(WaveArchive, WaveThatIsNotRiffIsRefused) {
  std::vector<uint8_t> notRiff = EncodeWave(std::vector<uint8_t>(16, 'x'));
  EXPECT_NE(ErrorOf([&] { DecodeWave(notRiff); }).find("RIFF"), std::string::npos);
  std::vector<uint8_t> overlong = EncodeWave({'R', 'I', 'F', 'F'});
  overlong[1] = 1;
  EXPECT_NE(ErrorOf([&] { DecodeWave(overlong); }).find("runs past"), std::string::npos);
}

// ---------------------------------------------------------------- corrupt files

TEST(CorruptArchive, NoTruncationOrFlippedByteCrashesOrSlipsThrough) {
  std::vector<uint8_t> bytes = SampleWithoutBlob();
  for (size_t n = 0; n < bytes.size(); ++n) {
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_THROW(ReadImageArchive(cut), EArchiveError) << n;
  }
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::vector<uint8_t> flipped = bytes;
    flipped[i] ^= 0xFF;
    try {
      ReadImageArchive(flipped);
    } catch (const EArchiveError&) {
    }
  }
  std::vector<uint8_t> waves = ReadFixture("sample-waves.dxw");
  for (size_t n = 0; n < waves.size(); n += 7) {
    std::vector<uint8_t> cut(waves.begin(), waves.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_THROW(ReadWaveArchive(cut), EArchiveError) << n;
  }
}

TEST(CorruptArchive, LoadFromFileNamesTheFileAndTheProblemAndKeepsTheOldItems) {
  std::vector<uint8_t> good = SampleWithoutBlob();
  std::vector<uint8_t> hugeLength = good;
  hugeLength[0x7C] = 0x7F;  // high byte of the first Picture's 32-bit length: now ~2 GB
  TStreamObject noList;
  noList.ClassName = "TDXImageList";
  noList.Properties = {TStreamProperty{"Lists", TStreamValue::Integer(1)}};

  const struct {
    const char* Label;
    std::vector<uint8_t> Bytes;
    const char* Problem;
  } cases[] = {
      {"empty", {}, "empty"},
      {"signature", {'P', 'K', 3, 4, 0, 0, 0, 0}, "not a component stream (no TPF0 signature)"},
      {"half", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2)),
       "ends inside"},
      {"length", hugeLength, "binary data"},
      {"nolist", WriteComponentStream(noList), "no List"},
      {"graphic", ReadFixture("sample.dxg"), "TFooGraphic"},
  };
  TPictureCollection list;
  list.LoadFromFile(WriteTemp("good.dxg", good));
  ASSERT_EQ(list.Items.size(), 3u);
  for (const auto& c : cases) {
    std::string path = WriteTemp(c.Label, c.Bytes);
    std::string message = ErrorOf([&] { list.LoadFromFile(path); });
    EXPECT_EQ(message.rfind(path + ": ", 0), 0u) << message;
    EXPECT_NE(message.find(c.Problem), std::string::npos) << c.Label << ": " << message;
    std::remove(path.c_str());
  }
  std::string missing = TempPath("absent.dxg");
  std::string message = ErrorOf([&] { list.LoadFromFile(missing); });
  EXPECT_EQ(message, missing + ": cannot open (No such file or directory)");
  message = ErrorOf([&] { MDXWaveList.LoadFromFile(missing); });
  EXPECT_EQ(message, missing + ": cannot open (No such file or directory)");

  EXPECT_EQ(list.Items.size(), 3u);
  EXPECT_EQ(list.Find("SHIP").Picture.Width, 5);
}

// ---------------------------------------------------------------- pictures read when first wanted

// An archive whose items carry the given Picture property bytes as they are.
std::vector<uint8_t> ArchiveOf(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& pictures) {
  TStreamValue list;
  list.Type = TValueType::vaCollection;
  for (const auto& [name, bytes] : pictures) {
    TStreamCollectionItem entry;
    entry.Properties = {TStreamProperty{"Name", TStreamValue::String(name)},
                        TStreamProperty{"Picture", TStreamValue::Binary(bytes)}};
    list.Items.push_back(entry);
  }
  TStreamObject root;
  root.ClassName = "TDXImageList";
  root.Properties = {TStreamProperty{"List", list}};
  return WriteComponentStream(root);
}

// A 32-bit bitmap whose unused fourth bytes are not zero, as other painting
// programs leave them: they must not reach the pixels.
std::vector<uint8_t> Bmp32WithAlpha(int w, int h, bool topDown) {
  std::vector<uint32_t> values;
  for (int i = 0; i < w * h; ++i) values.push_back(static_cast<uint32_t>(0x0F1E2D * (i + 1)) & 0xFFFFFF);
  std::vector<uint8_t> bmp = HandMadeBmp(w, h, 32, topDown, values, {});
  for (size_t at = 54 + 3; at < bmp.size(); at += 4) bmp[at] = static_cast<uint8_t>(0xA0 + at % 7);
  return bmp;
}

TEST(WaitingPictures, FindDecodesEveryKindAsReadingTheWholeArchiveDoes) {
  const std::vector<uint8_t> pngPicture =
      ReadComponentStream(ReadFixture("sample.dxg")).Properties[0].Value.Items[1].FindProperty("Picture")->Value.Bytes;
  std::vector<uint32_t> indices(12);
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint32_t>(i % 3);
  const std::vector<std::pair<std::string, std::vector<uint8_t>>> pictures = {
      {"up32odd", BitmapPicture(Bmp32WithAlpha(7, 5, false))},
      {"up32even", BitmapPicture(Bmp32WithAlpha(3, 4, false))},
      {"down32", BitmapPicture(Bmp32WithAlpha(6, 3, true))},
      {"pal8", BitmapPicture(HandMadeBmp(4, 3, 8, false, indices, {0x112233, 0x445566, 0x778899}))},
      {"rgb24", BitmapPicture(HandMadeBmp(5, 2, 24, true, std::vector<uint32_t>(10, 0xABCDEF), {}))},
      {"png", pngPicture},
      {"none", {0}},
  };
  const std::vector<uint8_t> bytes = ArchiveOf(pictures);
  const std::vector<TPictureCollectionItem> whole = ReadImageArchive(bytes);
  TPictureCollection list;
  list.LoadFromFile(WriteTemp("kinds.dxg", bytes));
  ASSERT_EQ(list.Items.size(), pictures.size());
  for (size_t i = 0; i < pictures.size(); ++i) {
    const TSurface& p = list.Find(pictures[i].first).Picture;
    EXPECT_EQ(p.Width, whole[i].Picture.Width) << pictures[i].first;
    EXPECT_EQ(p.Height, whole[i].Picture.Height) << pictures[i].first;
    EXPECT_EQ(p.Pixels, whole[i].Picture.Pixels) << pictures[i].first;
  }
  EXPECT_EQ(list.Find("up32odd").Picture.Row(0)[0], 0x0F1E2Du);  // the top row, from the last in the file
}

TEST(WaitingPictures, TheGameArchivesDecodeAlikeBothWays) {
  for (const char* path : {"Data/Res/Res1.dxg", "Data/Res/Res2.dxg"}) {
    const std::vector<TPictureCollectionItem> whole = ReadImageArchive(ReadArchiveFile(path));
    TPictureCollection list;
    list.LoadFromFile(path);
    ASSERT_EQ(list.Items.size(), whole.size()) << path;
    for (size_t i = 0; i < whole.size(); ++i) {
      const TPictureCollectionItem& item = list.Find(whole[i].Name);
      ASSERT_EQ(item.Picture.Width, whole[i].Picture.Width) << whole[i].Name;
      EXPECT_TRUE(item.Picture.Pixels == whole[i].Picture.Pixels) << whole[i].Name;
    }
  }
}

TEST(WaitingPictures, BadBitmapHeadersStopTheLoadNotALaterDraw) {
  std::vector<uint8_t> bmp = HandMadeBmp(5, 3, 32, false, std::vector<uint32_t>(15, 0x123456), {});
  bmp[22] = 4;  // four rows claimed, three present
  const std::string path = WriteTemp("tall.dxg", ArchiveOf({{"ok", BitmapPicture(Bmp32WithAlpha(2, 2, false))},
                                                             {"tall", BitmapPicture(bmp)}}));
  TPictureCollection list;
  const std::string message = ErrorOf([&] { list.LoadFromFile(path); });
  EXPECT_NE(message.find("'tall'"), std::string::npos) << message;
  EXPECT_NE(message.find("pixel data is truncated"), std::string::npos) << message;
}

TEST(WaitingPictures, AnArchiveCutShortSinceTheLoadLeavesThePictureEmpty) {
  const std::string path = WriteTemp("cut.dxg", ArchiveOf({{"first", BitmapPicture(Bmp32WithAlpha(4, 4, false))},
                                                            {"last", BitmapPicture(Bmp32WithAlpha(9, 9, false))}}));
  TPictureCollection list;
  list.LoadFromFile(path);
  EXPECT_EQ(list.Find("first").Picture.Width, 4);
  std::filesystem::resize_file(path, std::filesystem::file_size(path) - 200);

  ::testing::internal::CaptureStderr();
  TPictureCollectionItem& last = list.Find("last");
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(last.Picture.Width, 0);
  EXPECT_EQ(last.PatternCount(), 0);
  TSurface dest;
  dest.Resize(16, 16);
  last.Draw(dest, 0, 0, 0);  // draws nothing, reads nothing
  EXPECT_EQ(dest.Pixels, std::vector<uint32_t>(256, 0u));
  EXPECT_NE(said.find(path + ": picture 'last' left empty: the file is shorter"), std::string::npos) << said;
  EXPECT_EQ(list.Find("first").Picture.Width, 4);
}

TEST(WaitingSounds, FindReadsTheSameBytesAndACutFileLeavesTheSoundSilent) {
  const std::vector<TWaveCollectionItem> whole = ReadWaveArchive(ReadArchiveFile("Data/Res/Sounds.dxw"));
  TWaveCollection game;
  game.LoadFromFile("Data/Res/Sounds.dxw");
  ASSERT_EQ(game.Items.size(), whole.size());
  for (const TWaveCollectionItem& w : whole) EXPECT_TRUE(game.Find(w.Name).Wave == w.Wave) << w.Name;

  std::vector<TWaveCollectionItem> two(2);
  two[0].Name = "first";
  two[1].Name = "last";
  for (TWaveCollectionItem& w : two) {
    w.Wave = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    w.Wave.resize(300, 7);
  }
  const std::string path = WriteTemp("cut.dxw", WriteWaveArchive(two));
  TWaveCollection list;
  list.LoadFromFile(path);
  EXPECT_EQ(list.Find("first").Wave, two[0].Wave);
  std::filesystem::resize_file(path, std::filesystem::file_size(path) - 100);
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(list.Find("last").Wave.empty());
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find(path + ": sound 'last' left silent: the file is shorter"), std::string::npos) << said;
}

}  // namespace
