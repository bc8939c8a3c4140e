#include <gtest/gtest.h>

#include <cstring>

#include "platform/headless_platform.h"
#include "shell/game_state.h"
#include "shell/settings.h"
#include "shell/sound.h"
#include "sprites/lookup_error.h"
#include "support/silent_wave.h"
#include "sprites/wave_list.h"

namespace {

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Platform = &Machine;
    MDXWaveList.Clear();
    Add("Button", 100, false, 1);
    Add("Horn", 300, true, 0);
    Add("Explosion", 500, false, 0);
    MDXWaveList.Reindex();
    SoundOn = 1;
    MusicOn = 1;
    ResetSound();
  }
  void TearDown() override {
    MDXWaveList.Clear();
    Platform = nullptr;
  }
  static void Add(const char* name, int ms, bool looped, int maxPlaying) {
    TWaveCollectionItem item;
    item.Name = name;
    item.Wave = SilentWave(ms);
    item.Looped = looped;
    item.MaxPlayingCount = maxPlaying;
    MDXWaveList.Items.push_back(item);
  }
  int Sounding(const char* name) {
    int n = 0;
    for (int voice : MDXWaveList.Find(name).Copies) n += Machine.VoicePlaying(voice) ? 1 : 0;
    return n;
  }
  THeadlessPlatform Machine;
};

TEST_F(SoundTest, PlayRestartsInsteadOfLayering) {
  for (const char* name : {"Button", "Explosion", "Horn"}) {
    PlaySound(name);
    Machine.NowMs += 50;
    PlaySound(name);
    EXPECT_EQ(Sounding(name), 1) << name;
  }
  Machine.NowMs += 1000;
  EXPECT_EQ(Sounding("Explosion"), 0) << "a plain effect ends by itself";
  EXPECT_EQ(Sounding("Horn"), 1) << "a looped effect sounds until stopped";
  StopSound("Horn");
  EXPECT_EQ(Sounding("Horn"), 0);
}

TEST_F(SoundTest, StopNeverStarts) {
  StopSound("Horn");
  EXPECT_EQ(Sounding("Horn"), 0);
}

TEST_F(SoundTest, WithSoundOffNothingIsLookedUp) {
  SoundOn = 0;
  EXPECT_NO_THROW(PlaySound("NoSuchSound"));
  EXPECT_NO_THROW(StopSound("NoSuchSound"));
  EXPECT_EQ(Sounding("Button"), 0);
  SoundOn = 1;
  EXPECT_THROW(PlaySound("NoSuchSound"), ELookupError);
}

TEST_F(SoundTest, MusicFollowsTheScreenAndTheSwitch) {
  // Tests run in the build folder, beside the generated Data/Music.
  GameScreen = 1;
  PlayScreenMusic();
  EXPECT_NE(MusicHandle, 0);
  EXPECT_EQ(MusicFile, "Data/Music/Menu.xm");
  GameScreen = 6;
  PlayScreenMusic();
  EXPECT_EQ(MusicFile, "Data/Music/Race.xm") << "the race tune replaces the menu tune";
  PlayMusic("Data/Music/NoSuchTune.xm", false);
  EXPECT_EQ(MusicHandle, 0) << "a tune that fails to load leaves silence";
  PlayScreenMusic();
  MusicOn = 0;
  RecordSoundCalls = true;
  PlayMusic("Data/Music/Menu.xm", false);
  EXPECT_TRUE(SoundCalls.empty()) << "with music off nothing is even tried";
  EXPECT_EQ(MusicFile, "Data/Music/Race.xm") << "and the tune that plays keeps playing";
  StopMusic();
  EXPECT_EQ(MusicHandle, 0);
  RecordSoundCalls = false;
  GameScreen = 0;
}

}  // namespace
