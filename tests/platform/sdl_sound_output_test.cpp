// What the real machine's mixer sends to the speakers, written to a file by
// SDL's disk audio driver: a looped sound stopped at any point of its wave,
// alone or with another taking its place in the same tick, fades out instead
// of dropping to zero in one sample (the click heard at every gear change),
// and a voice that takes another's place never sounds louder than one voice.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "platform/sdl_platform.h"

namespace {

namespace fs = std::filesystem;

constexpr int Rate = 44100;
constexpr int Amplitude = 12000;
// A 100 Hz tone moves at most 2 pi 100 / 44100 of its amplitude from one
// sample to the next (171 here); a jump of this much is a cut.
constexpr int Cut = 1500;

void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// One period of a 100 Hz sine, 16-bit mono: it loops without a seam.
std::vector<uint8_t> ToneWave() {
  constexpr int frames = Rate / 100;
  std::vector<uint8_t> w;
  const auto tag = [&](const char* t) {
    for (int i = 0; i < 4; ++i) w.push_back(static_cast<uint8_t>(t[i]));
  };
  tag("RIFF");
  PutLe(w, 36 + frames * 2, 4);
  tag("WAVE");
  tag("fmt ");
  PutLe(w, 16, 4);
  PutLe(w, 1, 2);
  PutLe(w, 1, 2);
  PutLe(w, Rate, 4);
  PutLe(w, Rate * 2, 4);
  PutLe(w, 2, 2);
  PutLe(w, 16, 2);
  tag("data");
  PutLe(w, frames * 2, 4);
  for (int n = 0; n < frames; ++n)
    PutLe(w, static_cast<uint16_t>(static_cast<int16_t>(std::lrint(Amplitude * std::sin(2 * std::numbers::pi * n / frames)))), 2);
  return w;
}

class SdlSoundOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder = fs::temp_directory_path() / ("voltrace2-sound-" + std::to_string(getpid()));
    fs::create_directories(Folder);
    if (const char* d = std::getenv("SDL_AUDIODRIVER")) OldDriver = d;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (Folder / "out.raw").c_str(), 1);
    ASSERT_TRUE(Machine.Open()) << Machine.Error;
    Opened = true;
  }
  void TearDown() override {
    if (Opened) Machine.Close();
    if (OldDriver.empty()) unsetenv("SDL_AUDIODRIVER");
    else setenv("SDL_AUDIODRIVER", OldDriver.c_str(), 1);
    unsetenv("SDL_DISKAUDIOFILE");
    fs::remove_all(Folder);
  }
  // Closes the device and reads back every sample it was sent.
  std::vector<int16_t> Output() {
    Machine.Close();
    Opened = false;
    std::ifstream in(Folder / "out.raw", std::ios::binary);
    std::vector<int16_t> samples;
    int16_t s;
    while (in.read(reinterpret_cast<char*>(&s), sizeof s)) samples.push_back(s);
    return samples;
  }
  TSdlPlatform Machine;
  fs::path Folder;
  std::string OldDriver;
  bool Opened = false;
};

TEST_F(SdlSoundOutput, StoppedLoopsFadeOutAndSwappedVoicesNeverAddUp) {
  int rate = 0, channels = 0;
  Uint16 format = 0;
  ASSERT_NE(Mix_QuerySpec(&rate, &format, &channels), 0) << "no sound device: " << Mix_GetError();
  ASSERT_EQ(format, AUDIO_S16SYS);
  const int tone = Machine.CreateSoundBuffer(ToneWave());
  ASSERT_GE(tone, 0);
  // Stops at eight different points of the wave; on every other one a new
  // voice takes the stopped one's place at once, as at a gear change.
  int voice = Machine.PlayBuffer(tone, true);
  for (int i = 0; i < 8; ++i) {
    SDL_Delay(static_cast<Uint32>(40 + 7 * i));
    Machine.StopVoice(voice);
    EXPECT_FALSE(Machine.VoicePlaying(voice)) << "a stopped voice is over for the game at once";
    if (i % 2 == 1) SDL_Delay(30);
    voice = Machine.PlayBuffer(tone, true);
  }
  SDL_Delay(40);
  Machine.StopVoice(voice);
  SDL_Delay(80);
  const std::vector<int16_t> out = Output();
  ASSERT_GT(out.size(), static_cast<size_t>(rate * channels / 5)) << "the disk driver wrote the sound";

  int cuts = 0, peak = 0;
  for (size_t i = static_cast<size_t>(channels); i < out.size(); ++i) {
    cuts += std::abs(out[i] - out[i - static_cast<size_t>(channels)]) > Cut;
    peak = std::max(peak, std::abs(static_cast<int>(out[i])));
  }
  EXPECT_EQ(cuts, 0) << "samples that jump like a cut";
  EXPECT_GE(peak, Amplitude - 20) << "the tone was heard";
  EXPECT_LE(peak, Amplitude + 2) << "a voice and the one taking its place sounded louder together";
  EXPECT_EQ(out.back(), 0) << "silence after the last stop";
}

}  // namespace
