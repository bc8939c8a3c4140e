// When another program comes in front the game stands still, and its music
// and sounds with it: heard through SDL's disk audio driver, which writes
// exactly what the mixer plays to a file.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/sdl_platform.h"
#include "support/silent_wave.h"

namespace {

namespace fs = std::filesystem;

// A loud square tone of Ms milliseconds, 16-bit mono at 1000 Hz.
std::vector<uint8_t> ToneWave(int ms) {
  std::vector<uint8_t> w = SilentWave(ms);
  for (size_t i = 44; i + 1 < w.size(); i += 2) {
    const int16_t v = ((i - 44) / 2) % 10 < 5 ? 12000 : -12000;
    std::memcpy(&w[i], &v, 2);
  }
  return w;
}

class SdlFocus : public ::testing::Test {
 protected:
  void SetUp() override {
    Out = fs::path(testing::TempDir()) / ("voltrace2-disk-audio-" + std::to_string(getpid()) + ".raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", Out.c_str(), 1);
  }
  void TearDown() override {
    Machine.Close();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("SDL_DISKAUDIOFILE");
    fs::remove(Out);
  }
  // What the mixer wrote during the next Ms milliseconds, as 16-bit samples.
  std::vector<int16_t> Heard(int ms) {
    std::error_code ec;
    const auto from = fs::file_size(Out, ec);
    SDL_Delay(static_cast<Uint32>(ms));
    std::ifstream in(Out, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from));
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
  }
  static bool Silent(const std::vector<int16_t>& samples) {
    for (int16_t s : samples)
      if (s != 0) return false;
    return true;
  }
  void Focus(Uint8 event) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = event;
    Machine.HandleEvent(e);
  }
  TSdlPlatform Machine;
  fs::path Out;
};

TEST_F(SdlFocus, TheMusicAndSoundsPauseWithTheGameAndGoOnWithIt) {
  ASSERT_TRUE(Machine.Open()) << Machine.Error;
  const int song = Machine.SongLoadFromFile("Data/Music/Menu.xm");
  ASSERT_NE(song, 0);
  Machine.SongPlay(song);
  const int buffer = Machine.CreateSoundBuffer(ToneWave(200));
  ASSERT_GE(buffer, 0);
  ASSERT_GE(Machine.PlayBuffer(buffer, true), 0);
  const std::vector<int16_t> playing = Heard(300);
  ASSERT_GT(playing.size(), 1000u) << "the disk driver wrote nothing";
  EXPECT_FALSE(Silent(playing));

  Focus(SDL_WINDOWEVENT_FOCUS_LOST);
  EXPECT_FALSE(Machine.Active);
  Heard(150);  // what the mixer had already queued
  const std::vector<int16_t> away = Heard(400);
  ASSERT_GT(away.size(), 1000u) << "the device goes on, silent";
  EXPECT_TRUE(Silent(away)) << "music and sounds stop while the game stands still";

  Focus(SDL_WINDOWEVENT_FOCUS_GAINED);
  EXPECT_TRUE(Machine.Active);
  Heard(150);
  EXPECT_FALSE(Silent(Heard(300))) << "they go on when the game does";
  Machine.SongFree(song);
}

}  // namespace
