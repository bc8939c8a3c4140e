#include "assets/paint/linear_light.h"

#include <algorithm>
#include <array>

namespace paint {

TVec Linear(uint32_t rgb) {
  static const std::array<double, 256> table = [] {
    std::array<double, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = std::pow(i / 255.0, 2.2);
    return t;
  }();
  return {table[(rgb >> 16) & 0xFF], table[(rgb >> 8) & 0xFF], table[rgb & 0xFF]};
}

uint32_t ToRgb(const TVec& c) {
  auto ch = [](double v) {
    v = std::max(0.0, v);
    // Linear up to the knee, then a soft roll-off towards white.
    constexpr double knee = 0.7;
    if (v > knee) v = knee + (1 - knee) * (1 - std::exp(-(v - knee) / (1 - knee)));
    return static_cast<uint32_t>(std::lround(std::pow(v, 1 / 2.2) * 255));
  };
  return ch(c.X) << 16 | ch(c.Y) << 8 | ch(c.Z);
}

}  // namespace paint
