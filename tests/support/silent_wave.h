#pragma once
// A silent 16-bit mono RIFF wave lasting Ms milliseconds at 1000 Hz, for
// tests that need sound items without real sounds.
#include <cstdint>
#include <cstring>
#include <vector>

inline std::vector<uint8_t> SilentWave(int ms) {
  const uint32_t data = static_cast<uint32_t>(ms) * 2, rate = 1000, bytesPerSecond = 2000;
  std::vector<uint8_t> w(44 + data, 0);
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&w[at], &v, 4); };
  auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&w[at], &v, 2); };
  std::memcpy(&w[0], "RIFF", 4);
  put32(4, 36 + data);
  std::memcpy(&w[8], "WAVEfmt ", 8);
  put32(16, 16);
  put16(20, 1);
  put16(22, 1);
  put32(24, rate);
  put32(28, bytesPerSecond);
  put16(32, 2);
  put16(34, 16);
  std::memcpy(&w[36], "data", 4);
  put32(40, data);
  return w;
}
