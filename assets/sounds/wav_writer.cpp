#include "assets/sounds/wav_writer.h"

#include <algorithm>
#include <cmath>

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

}  // namespace

std::vector<uint8_t> RiffWavMono16(const std::vector<double>& samples, int sampleRate) {
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  PutTag(out, "RIFF");
  Put32(out, 36 + dataBytes);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 1);  // mono
  Put32(out, static_cast<uint32_t>(sampleRate));
  Put32(out, static_cast<uint32_t>(sampleRate) * 2);
  Put16(out, 2);   // block align
  Put16(out, 16);  // bits per sample
  PutTag(out, "data");
  Put32(out, dataBytes);
  for (double s : samples) {
    const long v = std::lround(std::clamp(s, -1.0, 1.0) * 32767.0);
    Put16(out, static_cast<uint16_t>(static_cast<int16_t>(v)));
  }
  return out;
}
