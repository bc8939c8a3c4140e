#include "support/modplug_render.h"

#include <fstream>
#include <iterator>

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ModPlugFile* LoadLikeTheGame(const std::vector<uint8_t>& bytes, int channels) {
  ModPlug_Settings s;
  ModPlug_GetSettings(&s);
  s.mFlags = MODPLUG_ENABLE_OVERSAMPLING;
  s.mChannels = channels;
  s.mBits = 16;
  s.mFrequency = kModplugRate;
  s.mResamplingMode = MODPLUG_RESAMPLE_FIR;
  s.mReverbDepth = 0;
  s.mBassAmount = 0;
  s.mSurroundDepth = 0;
  s.mLoopCount = 0;
  ModPlug_SetSettings(&s);
  ModPlugFile* file = ModPlug_Load(bytes.data(), static_cast<int>(bytes.size()));
  if (file) ModPlug_SetMasterVolume(file, kGameMasterVolume);
  return file;
}

std::vector<int16_t> Render(ModPlugFile* file, int channels, double limit) {
  std::vector<int16_t> out;
  std::vector<int16_t> block(4096);
  const size_t cap = static_cast<size_t>(limit * kModplugRate * channels);
  while (out.size() < cap) {
    const int bytes = ModPlug_Read(file, block.data(), static_cast<int>(block.size() * sizeof(int16_t)));
    if (bytes <= 0) break;
    out.insert(out.end(), block.begin(), block.begin() + bytes / static_cast<int>(sizeof(int16_t)));
  }
  return out;
}
