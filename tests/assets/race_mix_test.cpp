// The loudest a race can sound: the engine, the horn, the machine gun and
// an explosion at once over the race tune. The mixer plays every effect at
// full volume and adds them to the music sample by sample, saturating at
// full scale, so the levels written into the sounds and the tune are the
// levels heard. Decodes the archive's waves and the tune as the game plays
// them and sums them. Runs in the build folder, where the generator has
// written Data/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "support/built_assets.h"
#include "support/modplug_render.h"

namespace {

double Dbfs(double amplitude) { return 20.0 * std::log10(std::max(amplitude, 1e-9) / 32768.0); }

std::vector<int16_t> Wave(const std::string& name) {
  const TWaveCollectionItem* wave = BuiltWave(name);
  if (!wave) return {};
  return ParseWav(wave->Wave).Samples;
}

int PeakOf(const std::vector<int16_t>& s) {
  int peak = 0;
  for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
  return peak;
}

double RmsOf(const std::vector<int16_t>& s) {
  double sum = 0;
  for (int16_t v : s) sum += static_cast<double>(v) * v;
  return std::sqrt(sum / std::max<size_t>(s.size(), 1));
}

// A tune once through, interleaved stereo.
const std::vector<int16_t>& Tune(const std::string& file) {
  static std::vector<int16_t> race, menu;
  std::vector<int16_t>& pcm = file == "Race.xm" ? race : menu;
  if (pcm.empty()) {
    ModPlugFile* song = LoadLikeTheGame(FileBytes("Data/Music/" + file), 2);
    if (song) {
      pcm = Render(song, 2, 600);
      ModPlug_Unload(song);
    }
  }
  return pcm;
}

// The engine's running sounds, one of which is always on while driving.
const char* const kEngineLoops[] = {"Neutral", "Accel1", "Accel2", "Accel3", "Accel4", "Slowed", "Maxed"};
// The loudest of what takes the engine's place: one sounds at a time.
std::string LoudestEngineSlot() {
  std::string loudest;
  int peak = -1;
  for (const char* name : {"Neutral", "Accel1", "Accel2", "Accel3", "Accel4", "Slowed", "Maxed", "Shift", "Brake",
                           "Nitro"}) {
    const int p = PeakOf(Wave(name));
    if (p > peak) {
      peak = p;
      loudest = name;
    }
  }
  return loudest;
}

struct TMix {
  const char* Name;
  const char* Tune;
  std::vector<std::string> Held;     // loops, from the tune's start
  std::vector<std::string> OneShot;  // started together, every 50 ms of the tune in turn
};

// Sums the mix as the mixer does (a mono effect goes to both speakers at
// full volume) and returns its loudest sample; `bound` gets the sum of the
// sounds' peaks, which no timing of them can exceed.
int LoudestOfMix(const TMix& mix, int& bound) {
  const std::vector<int16_t>& music = Tune(mix.Tune);
  std::vector<std::vector<int16_t>> held, shots;
  bound = PeakOf(music);
  for (const std::string& n : mix.Held) held.push_back(Wave(n));
  for (const std::string& n : mix.OneShot) shots.push_back(Wave(n));
  for (const auto& w : held) bound += PeakOf(w);
  for (const auto& w : shots) bound += PeakOf(w);

  const size_t frames = music.size() / 2;
  std::vector<int> bed(music.size());
  for (size_t f = 0; f < frames; ++f) {
    int effects = 0;
    for (const auto& w : held) effects += w[f % w.size()];
    bed[2 * f] = music[2 * f] + effects;
    bed[2 * f + 1] = music[2 * f + 1] + effects;
  }
  int loudest = 0;
  for (int v : bed) loudest = std::max(loudest, std::abs(v));
  size_t longest = 0;
  for (const auto& w : shots) longest = std::max(longest, w.size());
  for (size_t start = 0; longest > 0 && start + longest < frames; start += kModplugRate / 20) {
    for (size_t k = 0; k < longest; ++k) {
      int effects = 0;
      for (const auto& w : shots)
        if (k < w.size()) effects += w[k];
      const size_t f = start + k;
      loudest = std::max({loudest, std::abs(bed[2 * f] + effects), std::abs(bed[2 * f + 1] + effects)});
    }
  }
  return loudest;
}

// The loudest a race can sound (the engine, the horn, the gun and an
// explosion over the race tune) and the menus' (the opening sting and a
// click over the menu tune) stay below full scale.
TEST(RaceMix, LoudestMixesStayBelowFullScale) {
  const TMix mixes[] = {
      {"race", "Race.xm", {LoudestEngineSlot(), "Horn", "MachineGun"}, {"Explosion"}},
      {"menu", "Menu.xm", {}, {"MenuBegin", "Button"}},
  };
  for (const TMix& mix : mixes) {
    ASSERT_GT(Tune(mix.Tune).size(), static_cast<size_t>(kModplugRate * 2 * 30)) << mix.Tune << " did not play";
    for (const auto* names : {&mix.Held, &mix.OneShot})
      for (const std::string& n : *names) ASSERT_FALSE(Wave(n).empty()) << n;
    int bound = 0;
    const int loudest = LoudestOfMix(mix, bound);
    std::printf("%s mix: loudest %.2f dBFS; the peaks add up to %.2f dBFS\n", mix.Name, Dbfs(loudest), Dbfs(bound));
    EXPECT_LT(Dbfs(loudest), -1.0) << "the loudest " << mix.Name << " mix reaches full scale";
    EXPECT_LT(bound, 32768) << "some timing of the " << mix.Name << " mix clips";
  }
}

// The engine is a bed under the tune, not over it: every gear's loop is at
// least 3 dB quieter (RMS) than the race tune on either speaker.
TEST(RaceMix, EngineSitsUnderTheMusic) {
  const std::vector<int16_t>& music = Tune("Race.xm");
  ASSERT_FALSE(music.empty());
  const double musicDb = Dbfs(RmsOf(music));
  for (const char* name : kEngineLoops) {
    const std::vector<int16_t> w = Wave(name);
    ASSERT_FALSE(w.empty()) << name;
    const double engineDb = Dbfs(RmsOf(w));
    std::printf("%s %.2f dB RMS against the tune's %.2f dB\n", name, engineDb, musicDb);
    EXPECT_LT(engineDb, musicDb - 3.0) << name;
  }
}

}  // namespace
