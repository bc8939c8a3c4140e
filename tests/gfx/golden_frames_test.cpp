// Every screen's picture, pixel for pixel, against the pictures it drew when
// they were last looked at and approved: the drawing code may get faster,
// never different. Each picture is kept as a 64-bit hash of its pixels in
// tests/fixtures/golden_frames.txt; a mismatch writes the picture drawn now
// as a PNG beside the test binary, for a look.
//
// Re-bless after an intended change of look (from the build folder):
//   VT_BLESS_GOLDEN=1 ./voltrace2-tests --gtest_filter='Screens/GoldenFrames.*'
// then look at the PNGs it writes under golden-frames/ before committing the
// new hashes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <ostream>
#include <sstream>
#include <string>

#include "gfx/png_write.h"
#include "gfx/surface.h"
#include "platform/headless_platform.h"
#include "race/player/player.h"
#include "race/race.h"
#include "screens/activate_item.h"
#include "screens/buttons.h"
#include "shell/game_state.h"
#include "shell/highscores.h"
#include "shell/language.h"
#include "shell/main_window.h"
#include "shell/settings.h"

namespace {

const char* const GoldenFile = VT_FIXTURES "/golden_frames.txt";
const char* const BlessCommand =
    "VT_BLESS_GOLDEN=1 ./voltrace2-tests --gtest_filter='Screens/GoldenFrames.*' (from the build folder)";

uint64_t PixelHash(const TSurface& s) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a
  auto mix = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) {
      h ^= (v >> (8 * i)) & 0xFFu;
      h *= 1099511628211ull;
    }
  };
  mix(static_cast<uint32_t>(s.Width));
  mix(static_cast<uint32_t>(s.Height));
  for (uint32_t p : s.Pixels) mix(p & 0xFFFFFFu);
  return h;
}

std::map<std::string, std::string> ReadGoldens() {
  std::map<std::string, std::string> goldens;
  std::ifstream in(GoldenFile);
  std::string name, hash;
  while (in >> name >> hash) goldens[name] = hash;
  return goldens;
}

void WriteGoldens(const std::map<std::string, std::string>& goldens) {
  std::ofstream out(GoldenFile);
  for (const auto& [name, hash] : goldens) out << name << ' ' << hash << '\n';
}

std::string HexHash(uint64_t h) {
  char text[20];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

struct TScene {
  const char* Name;
  std::function<void()> Reach;  // from the main menu after its fade-in
};

// ctest lists the scene by its name, not by its bytes.
void PrintTo(const TScene& scene, std::ostream* out) { *out << scene.Name; }

void Tick(int n) {
  for (int i = 0; i < n; ++i) MDXTimerTimer(12);
}

// A race at Level, driven for DriveTicks with the accelerator down and the
// wheel turned left for the last LeftTicks of them, so the car and the town stand at
// some heading away from straight up.
std::function<void()> RaceAt(int level, int driveTicks, int leftTicks, bool nitro) {
  return [=] {
    SelectItem(1);
    Tick(2);
    SelectItem(3);
    for (int l = 1; l < level; ++l) StartLevel(true);
    Tick(200);  // past the level message
    auto& machine = *static_cast<THeadlessPlatform*>(Platform);
    machine.Keys[gkUp] = true;
    machine.Keys[gkX] = nitro;
    for (int i = 0; i < driveTicks; ++i) {
      if (nitro && Player) Player->Nitro = 100, Player->NitroOn = 1;
      machine.Keys[gkLeft] = i >= driveTicks - leftTicks;
      Tick(1);
    }
  };
}

const TScene Scenes[] = {
    {"main_menu", [] {}},
    {"main_menu_hover_options", [] { HoverButton = 4; Tick(30); }},
    {"car_selection", [] { SelectItem(1); Tick(40); }},
    {"options", [] { SelectItem(4); Tick(40); }},
    {"options_music_volume_hovered", [] { SelectItem(4); Tick(2); HoverButton = 6; Tick(40); }},
    {"controls", [] { SelectItem(4); Tick(2); SelectItem(9); Tick(2); SelectItem(14); Tick(40); }},
    {"main_menu_english", [] { SwitchLanguage(lgEnglish); Tick(30); }},
    {"options_english", [] { SwitchLanguage(lgEnglish); SelectItem(4); Tick(40); }},
    {"highscores", [] { SelectItem(2); Tick(40); }},
    {"help", [] { SelectItem(5); Tick(40); }},
    {"help_page_2", [] { SelectItem(5); Tick(10); SelectItem(2); Tick(40); }},
    {"race_level1_start", RaceAt(1, 0, 0, false)},
    {"race_level1_straight", RaceAt(1, 120, 0, false)},
    {"race_level1_turned", RaceAt(1, 100, 12, false)},
    {"race_level6_turned", RaceAt(6, 150, 20, true)},
    {"race_level21_turned", RaceAt(21, 240, 110, true)},
};

class GoldenFrames : public ::testing::TestWithParam<TScene> {
 protected:
  void SetUp() override {
    Platform = &Machine;
    ResetGame();
    FormCreate(5);
    // The saved table and options of other tests' runs must not show.
    ResetHighScores();
    SetDefaultOptions();
    Tick(60);  // past the menu's fade-in
  }
  void TearDown() override {
    for (bool& k : Machine.Keys) k = false;
    ResetGame();
    Platform = nullptr;
  }
  THeadlessPlatform Machine;
};

TEST_P(GoldenFrames, DrawsTheApprovedPixels) {
  const TScene& scene = GetParam();
  scene.Reach();
  const std::string got = HexHash(PixelHash(BackSurface));
  const bool bless = std::getenv("VT_BLESS_GOLDEN") != nullptr;
  std::map<std::string, std::string> goldens = ReadGoldens();
  const auto found = goldens.find(scene.Name);
  if (bless || found == goldens.end() || found->second != got) {
    std::filesystem::create_directories("golden-frames");
    WritePng("golden-frames/" + std::string(scene.Name) + ".png", BackSurface);
  }
  if (bless) {
    goldens[scene.Name] = got;
    WriteGoldens(goldens);
    return;
  }
  ASSERT_NE(found, goldens.end()) << "no approved picture for " << scene.Name << "; look at golden-frames/"
                                  << scene.Name << ".png and bless it with " << BlessCommand;
  EXPECT_EQ(found->second, got) << scene.Name << " draws different pixels; the picture drawn now is golden-frames/"
                                << scene.Name << ".png. If the new look is intended, re-bless with "
                                << BlessCommand;
}

INSTANTIATE_TEST_SUITE_P(Screens, GoldenFrames, ::testing::ValuesIn(Scenes),
                         [](const ::testing::TestParamInfo<TScene>& info) { return std::string(info.param.Name); });

}  // namespace
