#pragma once
// Colour as light: three doubles in linear light, for pictures shaded per
// sample (the cars) where colours are lit, summed and averaged before they
// become sRGB bytes.
#include <cmath>
#include <cstdint>

namespace paint {

struct TVec {
  double X = 0, Y = 0, Z = 0;
};
inline TVec operator+(TVec a, TVec b) { return {a.X + b.X, a.Y + b.Y, a.Z + b.Z}; }
inline TVec operator-(TVec a, TVec b) { return {a.X - b.X, a.Y - b.Y, a.Z - b.Z}; }
inline TVec operator*(TVec a, double k) { return {a.X * k, a.Y * k, a.Z * k}; }
inline TVec operator*(TVec a, TVec b) { return {a.X * b.X, a.Y * b.Y, a.Z * b.Z}; }
inline double Dot(TVec a, TVec b) { return a.X * b.X + a.Y * b.Y + a.Z * b.Z; }
inline TVec Cross(TVec a, TVec b) { return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X}; }
inline TVec Normalize(TVec a) { return a * (1.0 / std::sqrt(Dot(a, a))); }
inline TVec Mix(TVec a, TVec b, double t) { return a + (b - a) * t; }

// sRGB byte colour to linear light and back; ToRgb rolls highlights off
// softly instead of clipping them.
TVec Linear(uint32_t rgb);
uint32_t ToRgb(const TVec& linear);

}  // namespace paint
