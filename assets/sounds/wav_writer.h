#pragma once
// RIFF WAV files as the sound archive stores them: PCM, 16-bit, mono.
#include <cstdint>
#include <vector>

// Samples are full scale at +-1.0; anything beyond is clamped.
std::vector<uint8_t> RiffWavMono16(const std::vector<double>& samples, int sampleRate);
