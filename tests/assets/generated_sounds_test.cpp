// The sound archive the asset generator writes holds every effect the game
// plays, clean and in the shape its playback relies on. Runs in the build
// folder, where the generator has written Data/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "support/built_assets.h"
#include "sprites/archive_format.h"

namespace {

const char* const kAllEffects[] = {"Button",       "MenuBegin", "Tick",      "Score",  "Bonus",      "Kill",
                                   "KillW",        "Collision", "Explosion", "Horn",   "MachineGun", "Rocket",
                                   "WeaponAppear", "Nitro",     "Neutral",   "Accel1", "Accel2",     "Accel3",
                                   "Accel4",       "Shift",     "Slowed",    "Maxed",  "Brake"};

// Started once and stopped by the game when its state changes, so they must
// play on by themselves until then.
const std::set<std::string> kLooped = {"Neutral", "Accel1", "Accel2",     "Accel3", "Accel4", "Maxed",
                                       "Slowed",  "Brake",  "MachineGun", "Horn",   "Nitro"};

// The fundamental of a looped wave: the first strong peak of its
// autocorrelation between 20 and 500 Hz, over a stretch of the loop read
// across its join. Octave slips are avoided by taking the shortest lag that
// comes close to the best one.
double LoopFundamentalHz(const TPcm& pcm) {
  const int minLag = pcm.Rate / 500, maxLag = pcm.Rate / 20;
  const size_t window = std::min<size_t>(pcm.Samples.size(), static_cast<size_t>(pcm.Rate) * 3 / 10);
  std::vector<double> x(window + static_cast<size_t>(maxLag) + 2);
  for (size_t i = 0; i < x.size(); ++i) x[i] = pcm.Samples[i % pcm.Samples.size()];
  double energy = 0.0;
  for (size_t i = 0; i < window; ++i) energy += x[i] * x[i];
  std::vector<double> r(static_cast<size_t>(maxLag) + 2, 0.0);
  for (int lag = minLag - 1; lag <= maxLag + 1; ++lag) {
    double sum = 0.0;
    for (size_t i = 0; i < window; ++i) sum += x[i] * x[i + static_cast<size_t>(lag)];
    r[static_cast<size_t>(lag)] = sum / energy;
  }
  double best = 0.0;
  for (int lag = minLag; lag <= maxLag; ++lag) best = std::max(best, r[static_cast<size_t>(lag)]);
  for (int lag = minLag; lag <= maxLag; ++lag) {
    const double v = r[static_cast<size_t>(lag)];
    if (v >= 0.8 * best && v >= r[static_cast<size_t>(lag) - 1] && v >= r[static_cast<size_t>(lag) + 1])
      return pcm.Rate / static_cast<double>(lag);
  }
  return 0.0;
}

TEST(GeneratedEffects, EveryEffectIsThereAndExactlyTheHeldOnesLoop) {
  std::set<std::string> looped;
  for (const char* name : kAllEffects) {
    const TWaveCollectionItem* wave = BuiltWave(name);
    ASSERT_NE(wave, nullptr) << name;
    if (wave->Looped) looped.insert(name);
  }
  EXPECT_EQ(looped, kLooped);
}

// 16-bit mono at 44.1 kHz, with headroom for the mix, centred on zero. One-shots
// start and end in silence; loops start on a zero crossing (no click when the
// game starts them) and run from their last sample into their first with a
// step no larger than the wave's ordinary steps.
TEST(GeneratedEffects, EveryEffectIsCleanAndLoopsJoin) {
  for (const char* name : kAllEffects) {
    const TWaveCollectionItem* wave = BuiltWave(name);
    ASSERT_NE(wave, nullptr) << name;
    const TPcm pcm = ParseWav(wave->Wave);
    ASSERT_EQ(pcm.Channels, 1) << name;
    EXPECT_EQ(pcm.Bits, 16) << name;
    EXPECT_EQ(pcm.Rate, 44100) << name;
    ASSERT_GT(pcm.Samples.size(), 1000u) << name;
    const std::vector<int16_t>& s = pcm.Samples;

    int peak = 0;
    double sum = 0, squares = 0;
    std::vector<int> steps;
    for (size_t i = 0; i < s.size(); ++i) {
      peak = std::max(peak, std::abs(static_cast<int>(s[i])));
      sum += s[i];
      squares += double(s[i]) * s[i];
      if (i > 0) steps.push_back(std::abs(s[i] - s[i - 1]));
    }
    const double peakDb = 20 * std::log10(peak / 32768.0);
    const double rmsDb = 20 * std::log10(std::sqrt(squares / s.size()) / 32768.0);
    // Each sits well under full scale, so several can sound at once over
    // the tune, and still loud enough to be heard over it.
    EXPECT_LT(peakDb, -6.0) << name;
    EXPECT_GT(peakDb, -24.0) << name;
    EXPECT_GT(rmsDb, -42.0) << name << " is too quiet";
    EXPECT_LT(std::abs(sum / s.size()), 0.002 * 32768) << name;

    if (kLooped.count(name)) {
      std::nth_element(steps.begin(), steps.begin() + steps.size() * 95 / 100, steps.end());
      const int typicalStep = steps[steps.size() * 95 / 100];
      EXPECT_LE(std::abs(s.back() - s.front()), std::max(typicalStep, 64)) << name << " clicks at its loop point";
      EXPECT_LE(std::abs(s.front()), typicalStep) << name << " starts with a click";
    } else {
      EXPECT_LT(std::abs(s.front()), 64) << name;
      EXPECT_LT(std::abs(s.back()), 64) << name;
    }
  }
}

// Each gear sounds higher than the one before; the idle lies below them
// all and the top-speed whine above.
TEST(GeneratedEffects, EngineRisesGearByGear) {
  const char* const order[] = {"Neutral", "Accel1", "Accel2", "Accel3", "Accel4", "Maxed"};
  double previous = 0.0;
  for (const char* name : order) {
    const TWaveCollectionItem* wave = BuiltWave(name);
    ASSERT_NE(wave, nullptr) << name;
    const double hz = LoopFundamentalHz(ParseWav(wave->Wave));
    EXPECT_GT(hz, previous * 1.1) << name << " at " << hz << " Hz is not clearly higher than the sound before it";
    previous = hz;
  }
}

}  // namespace
