// Archives made to hurt: far more values or pixels than the game's own
// archives hold, a file cut short while the start-up reads it, a load that
// runs out of memory. Each is refused with the file's name, and the names
// of damaged items reach the terminal readable.
#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "gfx/cp1251.h"
#include "gfx/png_write.h"
#include "sprites/archive_format.h"
#include "sprites/component_stream.h"
#include "sprites/image_list.h"
#include "sprites/lookup_error.h"
#include "sprites/wave_list.h"
#include "support/script_support.h"

namespace {

namespace fs = std::filesystem;

void Put32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

// A Picture property holding a one-bit BMP of W x H, all of colour 0: eight
// pixels a byte, so a big picture is a small file.
std::vector<uint8_t> OneBitPicture(uint32_t w, uint32_t h) {
  const uint32_t stride = (w + 31) / 32 * 4, offBits = 54 + 8;
  std::vector<uint8_t> bmp = {'B', 'M'};
  Put32(bmp, offBits + stride * h);
  Put32(bmp, 0);
  Put32(bmp, offBits);
  Put32(bmp, 40);
  Put32(bmp, w);
  Put32(bmp, h);
  bmp.push_back(1), bmp.push_back(0), bmp.push_back(1), bmp.push_back(0);
  for (int i = 0; i < 6; ++i) Put32(bmp, i == 4 ? 2 : 0);
  Put32(bmp, 0x000000), Put32(bmp, 0xFFFFFF);
  bmp.resize(offBits + static_cast<size_t>(stride) * h, 0);
  std::vector<uint8_t> pic = {7, 'T', 'B', 'i', 't', 'm', 'a', 'p'};
  Put32(pic, static_cast<uint32_t>(bmp.size()));
  pic.insert(pic.end(), bmp.begin(), bmp.end());
  return pic;
}

// A Picture property holding a PNG whose header claims W x H and whose data
// is long enough for the size to look honest.
std::vector<uint8_t> ClaimedPngPicture(uint32_t w, uint32_t h, size_t dataBytes) {
  std::vector<uint8_t> pic = {9, 'T', 'P', 'n', 'g', 'I', 'm', 'a', 'g', 'e', 0x89, 'P', 'N', 'G', 13, 10, 26, 10,
                              0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (uint32_t v : {w, h})
    for (int i = 3; i >= 0; --i) pic.push_back(static_cast<uint8_t>(v >> (8 * i)));
  for (uint8_t b : {8, 2, 0, 0, 0, 0, 0, 0, 0}) pic.push_back(b);  // 8-bit RGB, then the CRC
  pic.resize(pic.size() + dataBytes, 0);
  return pic;
}

std::vector<uint8_t> PngPicture(const TSurface& s) {
  std::vector<uint8_t> pic = {9, 'T', 'P', 'n', 'g', 'I', 'm', 'a', 'g', 'e'};
  const std::vector<uint8_t> png = EncodePng(s);
  pic.insert(pic.end(), png.begin(), png.end());
  return pic;
}

TStreamObject ArchiveRoot(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& pictures) {
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
  return root;
}

// Files written under a folder of the test's own, removed with it.
class HostileArchive : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder = fs::temp_directory_path() / ("voltrace2-hostile-" + std::to_string(getpid()));
    fs::create_directories(Folder);
  }
  void TearDown() override { fs::remove_all(Folder); }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = (Folder / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  static std::string ErrorOf(const std::function<void()>& f) {
    try {
      f();
    } catch (const EArchiveError& e) {
      return e.what();
    }
    return "(no error)";
  }
  fs::path Folder;
};

// Each one-byte value costs a few hundred bytes once read: a list of them
// beside the pictures is refused long before it could fill the memory, in
// the picture and the sound archives alike.
TEST_F(HostileArchive, AStreamOfFarMoreValuesThanAnArchiveHoldsIsRefused) {
  TStreamObject root = ArchiveRoot({{"ok", OneBitPicture(8, 8)}});
  TStreamValue many;
  many.Type = TValueType::vaList;
  many.List.assign(70000, TStreamValue::Boolean(false));
  root.Properties.push_back(TStreamProperty{"Padding", many});
  const std::string path = Write("many.dxg", WriteComponentStream(root));
  TPictureCollection pictures;
  std::string message = ErrorOf([&] { pictures.LoadFromFile(path); });
  EXPECT_EQ(message.rfind(path + ": ", 0), 0u) << message;
  EXPECT_NE(message.find("more than 65536 values"), std::string::npos) << message;
  TWaveCollection waves;
  message = ErrorOf([&] { waves.LoadFromFile(path); });
  EXPECT_NE(message.find(path + ": more than 65536 values"), std::string::npos) << message;

  // A stream just inside the bound still loads.
  many.List.resize(60000);
  root.Properties.back().Value = many;
  EXPECT_NO_THROW(pictures.LoadFromFile(Write("fewer.dxg", WriteComponentStream(root))));
  EXPECT_EQ(pictures.Items.size(), 1u);
}

struct TPixelCase {
  const char* Label;
  std::vector<std::pair<std::string, std::vector<uint8_t>>> Pictures;
  const char* Problem;  // empty: loads
};

void PrintTo(const TPixelCase& c, std::ostream* os) { *os << c.Label; }

class HostilePictures : public HostileArchive, public ::testing::WithParamInterface<TPixelCase> {};

// Pictures are held to what the game's need: a side of 8192, 4194304 pixels
// in one picture, 16777216 in an archive, counted from the headers before
// anything is decoded (a one-bit bitmap or a PNG of a few hundred kilobytes
// can claim gigabytes).
TEST_P(HostilePictures, ArePassedOrRefusedByTheirSizeWithTheFileNamed) {
  const TPixelCase& c = GetParam();
  const std::string path = Write("pictures.dxg", WriteComponentStream(ArchiveRoot(c.Pictures)));
  TPictureCollection list;
  const std::string message = ErrorOf([&] { list.LoadFromFile(path); });
  if (*c.Problem == 0) {
    EXPECT_EQ(message, "(no error)");
    EXPECT_EQ(list.Items.size(), c.Pictures.size());
    return;
  }
  EXPECT_EQ(message.rfind(path + ": List item ", 0), 0u) << message;
  EXPECT_NE(message.find(c.Problem), std::string::npos) << message;
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> Copies(int n, const std::vector<uint8_t>& picture) {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> pictures;
  for (int i = 0; i < n; ++i) pictures.push_back({"p" + std::to_string(i), picture});
  return pictures;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, HostilePictures,
    ::testing::Values(TPixelCase{"AtTheBounds", Copies(4, OneBitPicture(2048, 2048)), ""},
                      TPixelCase{"WiderThanAnyPicture", {{"wide", OneBitPicture(8200, 8)}}, "impossible size 8200x8"},
                      TPixelCase{"MorePixelsThanAnyPicture", {{"big", OneBitPicture(2100, 2100)}},
                                 "impossible size 2100x2100"},
                      TPixelCase{"MorePixelsThanAnyArchive", Copies(5, OneBitPicture(2048, 2048)),
                                 "20971520 pixels, far more than the game's"},
                      TPixelCase{"PngClaimingMoreThanAnyPicture", {{"png", ClaimedPngPicture(4096, 4096, 60000)}},
                                 "impossible size 4096x4096"}),
    [](const auto& info) { return std::string(info.param.Label); });

// The start-up reads an archive while something cuts it short: the load
// says which file is damaged instead of the game dying of a bus error.
TEST_F(HostileArchive, AnArchiveCutShortWhileItIsReadNamesTheFile) {
  TGameFolder game;
  static double keep = 0;
  ArchiveOpenedHook = [](const std::string& path) {
    fs::resize_file(path, static_cast<uintmax_t>(static_cast<double>(fs::file_size(path)) * keep));
  };
  for (const char* name : {"Res1.dxg", "Res2.dxg", "Sounds.dxw"}) {
    for (double fraction : {0.0005, 0.3, 0.9, 0.99999}) {
      const std::string path = (game.Root / "Data/Res" / name).string();
      const std::string whole = (Folder / name).string();
      if (!fs::exists(whole)) fs::copy_file(path, whole);
      fs::copy_file(whole, path, fs::copy_options::overwrite_existing);
      keep = fraction;
      const std::string message = ErrorOf([&] {
        if (std::string(name) == "Sounds.dxw") {
          TWaveCollection waves;
          waves.LoadFromFile(path);
        } else {
          TPictureCollection pictures;
          pictures.LoadFromFile(path);
        }
      });
      EXPECT_EQ(message.rfind(path + ": ", 0), 0u) << fraction << ": " << message;
      EXPECT_NE(message.find("shorter than when it was opened"), std::string::npos) << fraction << ": " << message;
    }
  }
  ArchiveOpenedHook = nullptr;
}

// The names inside the archives are Windows-1251; the terminal reads UTF-8.
TEST_F(HostileArchive, NamesOfDamagedItemsArePrintedInUtf8) {
  const std::string name = Cp1251FromUtf8("Машина");
  std::vector<uint8_t> bad = OneBitPicture(4, 4);
  bad[12 + 22] = 9;  // nine rows claimed, four present
  std::string path = Write("bad.dxg", WriteComponentStream(ArchiveRoot({{name, bad}})));
  TPictureCollection list;
  const std::string message = ErrorOf([&] { list.LoadFromFile(path); });
  EXPECT_NE(message.find("List item 0 ('Машина'): "), std::string::npos) << message;

  path = Write("cut.dxg", WriteComponentStream(ArchiveRoot({{name, OneBitPicture(64, 64)}})));
  list.LoadFromFile(path);
  fs::resize_file(path, fs::file_size(path) - 100);
  ::testing::internal::CaptureStderr();
  list.Find(name);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find(path + ": picture 'Машина' left empty"), std::string::npos) << said;

  std::vector<TWaveCollectionItem> waves(1);
  waves[0].Name = name;
  waves[0].Wave = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  waves[0].Wave.resize(300, 7);
  path = Write("cut.dxw", WriteWaveArchive(waves));
  TWaveCollection sounds;
  sounds.LoadFromFile(path);
  fs::resize_file(path, fs::file_size(path) - 100);
  ::testing::internal::CaptureStderr();
  sounds.Find(name);
  const std::string heard = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(heard.find(path + ": sound 'Машина' left silent"), std::string::npos) << heard;
}

// A machine short of memory: the load that cannot get it says which file it
// was reading, as any other failed load does. Loaded in a fresh process
// whose address space is held to what it has plus a little, so that no
// memory freed by earlier tests can serve the load.
void LoadShortOfMemory(const std::string& path, const fs::path& folder) {
  long pages = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
    std::fclose(f);
  }
  mallopt(M_MMAP_THRESHOLD, 64 << 10);  // large blocks from fresh pages
  const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (24 << 20);
  const rlimit r{limit, limit};
  int code = 3;
  if (pages > 0 && setrlimit(RLIMIT_AS, &r) == 0) {
    try {
      TPictureCollection list;
      list.LoadFromFile(path);
      std::fprintf(stderr, "loaded: the limit did not bite\n");
    } catch (const EArchiveError& e) {
      std::fprintf(stderr, "%s\n", e.what());
      code = 0;
    } catch (const std::bad_alloc&) {
      std::fprintf(stderr, "bad_alloc without the file's name\n");
    }
  }
  fs::remove_all(folder);
  _exit(code);
}

TEST_F(HostileArchive, RunningOutOfMemoryWhileLoadingNamesTheFile) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TSurface big;
  big.Resize(2048, 2048);  // decoded at the load: PNGs do not wait
  const std::string path = Write("big.dxg", WriteComponentStream(ArchiveRoot({{"big", PngPicture(big)}})));
  EXPECT_EXIT(LoadShortOfMemory(path, Folder), ::testing::ExitedWithCode(0),
              "big.dxg: not enough memory to load it");
}

}  // namespace
