#include "gfx/blit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <immintrin.h>
#endif

namespace {

// The bitmaps store 0x00RRGGBB, but a stray top byte must not defeat the key.
inline bool IsKey(uint32_t p, uint32_t key) { return ((p ^ key) & 0xFFFFFFu) == 0; }

// Sine and cosine of the 256 game angles, with the quarter turns exact so
// that turning by 64 maps whole pixels onto whole pixels.
struct TTurnTable {
  double Sin[256];
  double Cos[256];
  TTurnTable() {
    for (int a = 0; a < 256; ++a) {
      const double t = a * (2.0 * std::numbers::pi / 256.0);
      Sin[a] = std::sin(t);
      Cos[a] = std::cos(t);
    }
    for (int q = 0; q < 4; ++q) {
      const int a = q * 64;
      Sin[a] = q == 1 ? 1.0 : q == 3 ? -1.0 : 0.0;
      Cos[a] = q == 0 ? 1.0 : q == 2 ? -1.0 : 0.0;
    }
  }
};
const TTurnTable& Turn() {
  static const TTurnTable table;
  return table;
}

constexpr double FixOne = 4294967296.0;  // 32.32 fixed point for source positions

// What a drawn source pixel leaves in the destination pixel.
struct TCopy {
  uint32_t operator()(uint32_t s, uint32_t) const { return s; }
};
struct TBlend {
  uint32_t Alpha;
  uint32_t operator()(uint32_t s, uint32_t d) const { return BlendPixel(s, d, Alpha); }
};

// A select rather than a branch, so that ragged sprite edges cost no
// mispredictions.
template <bool Keyed, class Op>
inline void Put(uint32_t& d, uint32_t p, uint32_t key, Op op) {
  const uint32_t v = op(p, d);
  if constexpr (Keyed)
    d = IsKey(p, key) ? d : v;
  else
    d = v;
}

// Unscaled runs, the common case of every sprite and fade: four pixels at a
// time where the machine has SSE2, with the same rounding as BlendPixel.
void CopyRun(uint32_t* d, const uint32_t* s, int n, uint32_t key) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i low24 = _mm_set1_epi32(0xFFFFFF), k = _mm_set1_epi32(static_cast<int>(key & 0xFFFFFFu));
  for (; i + 4 <= n; i += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i isKey = _mm_cmpeq_epi32(_mm_and_si128(p, low24), k);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                     _mm_or_si128(_mm_and_si128(isKey, old), _mm_andnot_si128(isKey, p)));
  }
#endif
  for (; i < n; ++i) Put<true>(d[i], s[i], key, TCopy{});
}

#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
bool HasAvx2();

// BlendRun's arithmetic eight pixels at a time, where the machine has AVX2.
// Returns how many pixels it blended (a multiple of eight).
template <bool Keyed>
__attribute__((target("avx2"))) int BlendRunAvx2(uint32_t* d, const uint32_t* s, int n, uint32_t key,
                                                 uint32_t alpha) {
  const __m256i zero = _mm256_setzero_si256(), half = _mm256_set1_epi16(128);
  const __m256i a = _mm256_set1_epi16(static_cast<short>(alpha));
  const __m256i rest = _mm256_set1_epi16(static_cast<short>(255 - alpha));
  const __m256i low24 = _mm256_set1_epi32(0xFFFFFF), k = _mm256_set1_epi32(static_cast<int>(key & 0xFFFFFFu));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    const __m256i old = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    __m256i lo = _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(p, zero), a),
                                                   _mm256_mullo_epi16(_mm256_unpacklo_epi8(old, zero), rest)),
                                  half);
    __m256i hi = _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(p, zero), a),
                                                   _mm256_mullo_epi16(_mm256_unpackhi_epi8(old, zero), rest)),
                                  half);
    lo = _mm256_srli_epi16(_mm256_add_epi16(lo, _mm256_srli_epi16(lo, 8)), 8);
    hi = _mm256_srli_epi16(_mm256_add_epi16(hi, _mm256_srli_epi16(hi, 8)), 8);
    __m256i v = _mm256_packus_epi16(lo, hi);
    v = _mm256_and_si256(v, low24);
    if constexpr (Keyed) v = _mm256_blendv_epi8(v, old, _mm256_cmpeq_epi32(_mm256_and_si256(p, low24), k));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), v);
  }
  return i;
}
#endif

template <bool Keyed>
void BlendRun(uint32_t* d, const uint32_t* s, int n, uint32_t key, uint32_t alpha) {
  int i = 0;
#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
  if (n >= 8 && HasAvx2()) i = BlendRunAvx2<Keyed>(d, s, n, key, alpha);
#endif
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi16(128);
  const __m128i a = _mm_set1_epi16(static_cast<short>(alpha)), rest = _mm_set1_epi16(static_cast<short>(255 - alpha));
  const __m128i low24 = _mm_set1_epi32(0xFFFFFF), k = _mm_set1_epi32(static_cast<int>(key & 0xFFFFFFu));
  auto mix = [&](__m128i p16, __m128i d16) {
    __m128i x = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(p16, a), _mm_mullo_epi16(d16, rest)), half);
    return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
  };
  for (; i + 4 <= n; i += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    __m128i v = _mm_packus_epi16(mix(_mm_unpacklo_epi8(p, zero), _mm_unpacklo_epi8(old, zero)),
                                 mix(_mm_unpackhi_epi8(p, zero), _mm_unpackhi_epi8(old, zero)));
    v = _mm_and_si128(v, low24);
    if constexpr (Keyed) {
      const __m128i isKey = _mm_cmpeq_epi32(_mm_and_si128(p, low24), k);
      v = _mm_or_si128(_mm_and_si128(isKey, old), _mm_andnot_si128(isKey, v));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), v);
  }
#endif
  for (; i < n; ++i) Put<Keyed>(d[i], s[i], key, TBlend{alpha});
}

template <bool Keyed, class Op>
void AlphaRows(TSurface& dest, const TRect& r, int x0, int x1, int y0, int y1, const TPixelView& src, Op op) {
  const int dw = r.Right - r.Left, dh = r.Bottom - r.Top;
  const uint32_t key = src.Key;
  const int n = x1 - x0;
  // Nearest sampling: destination pixel i of the rectangle takes source
  // column Trunc((i + 1/2) * sw / dw), walked exactly as a quotient and a
  // remainder over 2 * dw.
  const int64_t sw = src.Width, sh = src.Height;
  const int64_t den = 2 * static_cast<int64_t>(dw);
  const int64_t num0 = (2 * static_cast<int64_t>(x0 - r.Left) + 1) * sw;
  const int64_t q0 = num0 / den, r0 = num0 % den;
  const int64_t qStep = (2 * sw) / den, rStep = (2 * sw) % den;
  for (int dy = y0; dy < y1; ++dy) {
    const int64_t sy = ((2 * static_cast<int64_t>(dy - r.Top) + 1) * sh) / (2 * static_cast<int64_t>(dh));
    const uint32_t* s = src.Pixels + sy * src.Stride;
    uint32_t* d = dest.Row(dy) + x0;
    if (dw == src.Width) {
      s += q0;
      if constexpr (std::is_same_v<Op, TBlend>)
        BlendRun<Keyed>(d, s, n, key, op.Alpha);
      else if constexpr (Keyed)
        CopyRun(d, s, n, key);
      else
        std::memcpy(d, s, static_cast<size_t>(n) * sizeof(uint32_t));
    } else {
      int64_t q = q0, rem = r0;
      for (int i = 0; i < n; ++i) {
        Put<Keyed>(d[i], s[q], key, op);
        q += qStep, rem += rStep;
        if (rem >= den) rem -= den, ++q;
      }
    }
  }
}

#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
// A turned row, four pixels at a time: the four source positions advance
// together in 64-bit lanes, their whole parts become the four pixel
// indices (row times stride plus column) without a multiplication each, and
// the key test and the store are one vector operation. Positions inside a
// run are never negative, so the lanes shift as unsigned. Returns how many
// pixels it drew (a multiple of four); the caller finishes the row.
template <bool Keyed>
int TurnedRunSse2(uint32_t* d, int n, const uint32_t* pixels, int64_t stride, uint32_t key, int64_t fx, int64_t fy,
                  int64_t stepX, int64_t stepY) {
  __m128i x01 = _mm_set_epi64x(fx + stepX, fx), x23 = _mm_set_epi64x(fx + 3 * stepX, fx + 2 * stepX);
  __m128i y01 = _mm_set_epi64x(fy + stepY, fy), y23 = _mm_set_epi64x(fy + 3 * stepY, fy + 2 * stepY);
  const __m128i stepX4 = _mm_set1_epi64x(4 * stepX), stepY4 = _mm_set1_epi64x(4 * stepY);
  const __m128i vStride = _mm_set1_epi64x(stride);
  const __m128i low24 = _mm_set1_epi32(0xFFFFFF), k = _mm_set1_epi32(static_cast<int>(key & 0xFFFFFFu));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i i01 = _mm_add_epi64(_mm_mul_epu32(_mm_srli_epi64(y01, 32), vStride), _mm_srli_epi64(x01, 32));
    const __m128i i23 = _mm_add_epi64(_mm_mul_epu32(_mm_srli_epi64(y23, 32), vStride), _mm_srli_epi64(x23, 32));
    const uint32_t p0 = pixels[_mm_cvtsi128_si64(i01)], p1 = pixels[_mm_cvtsi128_si64(_mm_unpackhi_epi64(i01, i01))];
    const uint32_t p2 = pixels[_mm_cvtsi128_si64(i23)], p3 = pixels[_mm_cvtsi128_si64(_mm_unpackhi_epi64(i23, i23))];
    const __m128i p = _mm_set_epi32(static_cast<int>(p3), static_cast<int>(p2), static_cast<int>(p1),
                                    static_cast<int>(p0));
    __m128i* out = reinterpret_cast<__m128i*>(d + i);
    if constexpr (Keyed) {
      const __m128i isKey = _mm_cmpeq_epi32(_mm_and_si128(p, low24), k);
      _mm_storeu_si128(out, _mm_or_si128(_mm_and_si128(isKey, _mm_loadu_si128(out)), _mm_andnot_si128(isKey, p)));
    } else {
      _mm_storeu_si128(out, p);
    }
    x01 = _mm_add_epi64(x01, stepX4), x23 = _mm_add_epi64(x23, stepX4);
    y01 = _mm_add_epi64(y01, stepY4), y23 = _mm_add_epi64(y23, stepY4);
  }
  return i;
}

// The same with the machine's gather, where it has AVX2 (checked at run
// time; every x86-64 has the SSE2 above).
template <bool Keyed>
__attribute__((target("avx2"))) int TurnedRunAvx2(uint32_t* d, int n, const uint32_t* pixels, int64_t stride,
                                                  uint32_t key, int64_t fx, int64_t fy, int64_t stepX, int64_t stepY) {
  __m256i x = _mm256_set_epi64x(fx + 3 * stepX, fx + 2 * stepX, fx + stepX, fx);
  __m256i y = _mm256_set_epi64x(fy + 3 * stepY, fy + 2 * stepY, fy + stepY, fy);
  const __m256i stepX4 = _mm256_set1_epi64x(4 * stepX), stepY4 = _mm256_set1_epi64x(4 * stepY);
  const __m256i vStride = _mm256_set1_epi64x(stride);
  const __m128i low24 = _mm_set1_epi32(0xFFFFFF), k = _mm_set1_epi32(static_cast<int>(key & 0xFFFFFFu));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m256i index = _mm256_add_epi64(_mm256_mul_epu32(_mm256_srli_epi64(y, 32), vStride), _mm256_srli_epi64(x, 32));
    const __m128i p = _mm256_i64gather_epi32(reinterpret_cast<const int*>(pixels), index, 4);
    __m128i* out = reinterpret_cast<__m128i*>(d + i);
    if constexpr (Keyed)
      _mm_storeu_si128(out, _mm_blendv_epi8(p, _mm_loadu_si128(out), _mm_cmpeq_epi32(_mm_and_si128(p, low24), k)));
    else
      _mm_storeu_si128(out, p);
    x = _mm256_add_epi64(x, stepX4);
    y = _mm256_add_epi64(y, stepY4);
  }
  return i;
}

bool WideTurnsAllowed = true;

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has && WideTurnsAllowed;
}
#endif

// One row of a turned pattern, every position already inside the source.
// Cars spend most of their time heading straight up or down the road, where
// a screen row reads along one source row; unscaled and unturned, it is a
// plain copy.
template <bool Keyed>
void RotateRun(uint32_t* d, int n, const TPixelView& src, int64_t fx, int64_t fy, int64_t stepX, int64_t stepY) {
  const uint32_t* pixels = src.Pixels;
  const int64_t stride = src.Stride;
  const uint32_t key = src.Key;
  if (stepY == 0) {
    const uint32_t* s = pixels + (fy >> 32) * stride;
    if (stepX == static_cast<int64_t>(FixOne)) {
      if constexpr (Keyed)
        CopyRun(d, s + (fx >> 32), n, key);
      else
        std::memcpy(d, s + (fx >> 32), static_cast<size_t>(n) * sizeof(uint32_t));
    } else {
      for (int i = 0; i < n; ++i, fx += stepX) Put<Keyed>(d[i], s[fx >> 32], key, TCopy{});
    }
    return;
  }
  int i = 0;
#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
  if (n >= 4) {
    i = HasAvx2() ? TurnedRunAvx2<Keyed>(d, n, pixels, stride, key, fx, fy, stepX, stepY)
                  : TurnedRunSse2<Keyed>(d, n, pixels, stride, key, fx, fy, stepX, stepY);
    fx += i * stepX, fy += i * stepY;
  }
#endif
  for (; i < n; ++i, fx += stepX, fy += stepY)
    Put<Keyed>(d[i], pixels[(fy >> 32) * stride + (fx >> 32)], key, TCopy{});
}

// One coordinate of a turned copy's source position along a screen row:
// F + c * Step for column c, which must stay in 0 .. Limit - 1. The run's
// ends are estimated with a multiplication by the reciprocal and then made
// exact by whole-number tests, which move them a column or two at most.
struct TAxisWalk {
  int64_t Step, Limit;
  double Inverse;  // 1 / Step, 0 when Step is 0
  TAxisWalk(int64_t step, int64_t limit) : Step(step), Limit(limit), Inverse(step != 0 ? 1.0 / step : 0) {}

  // Narrows columns C0..C1 (within 0 .. Last) to those inside the source.
  void Clip(int64_t f, int64_t last, int64_t& c0, int64_t& c1) const {
    if (Step == 0) {
      if (f < 0 || f >= Limit) c1 = c0 - 1;
      return;
    }
    auto inside = [&](int64_t c) {
      const int64_t v = f + c * Step;
      return v >= 0 && v < Limit;
    };
    auto estimate = [&](int64_t target) {  // the column where F + c * Step meets Target
      const double e = static_cast<double>(target - f) * Inverse;
      return static_cast<int64_t>(std::clamp(e, -1.0, static_cast<double>(last + 1)));
    };
    // Positions are monotonic along the row, so the inside columns are one
    // run between the column meeting 0 and the one meeting Limit - 1.
    int64_t lo = std::min(estimate(0), estimate(Limit - 1));
    int64_t hi = std::max(estimate(0), estimate(Limit - 1));
    while (lo <= last && !inside(lo) && (Step > 0 ? f + lo * Step < 0 : f + lo * Step >= Limit)) ++lo;
    while (lo > 0 && inside(lo - 1)) --lo;
    while (hi >= 0 && !inside(hi) && (Step > 0 ? f + hi * Step >= Limit : f + hi * Step < 0)) --hi;
    while (hi < last && inside(hi + 1)) ++hi;
    c0 = std::max(c0, lo);
    c1 = std::min(c1, hi);
  }
};

}  // namespace

void DrawPattern(TSurface& dest, int x, int y, const TPixelView& src) {
  if (!src.Pixels || src.Width <= 0 || src.Height <= 0) return;
  const int x0 = std::max(x, 0), x1 = static_cast<int>(std::min<int64_t>(int64_t{x} + src.Width, dest.Width));
  const int y0 = std::max(y, 0), y1 = static_cast<int>(std::min<int64_t>(int64_t{y} + src.Height, dest.Height));
  if (x0 >= x1 || y0 >= y1) return;
  const int n = x1 - x0;
  const uint32_t key = src.Key;
  for (int dy = y0; dy < y1; ++dy) {
    const uint32_t* s = src.Pixels + static_cast<ptrdiff_t>(dy - y) * src.Stride + (x0 - x);
    uint32_t* d = dest.Row(dy) + x0;
    if (!src.Keyed)
      std::memcpy(d, s, static_cast<size_t>(n) * sizeof(uint32_t));
    else
      CopyRun(d, s, n, key);
  }
}

void DrawPatternAlpha(TSurface& dest, const TRect& destRect, const TPixelView& src, int alpha) {
  if (!src.Pixels || src.Width <= 0 || src.Height <= 0 || alpha <= 0) return;
  if (destRect.Right <= destRect.Left || destRect.Bottom <= destRect.Top) return;
  const int x0 = std::max(destRect.Left, 0), x1 = std::min(destRect.Right, dest.Width);
  const int y0 = std::max(destRect.Top, 0), y1 = std::min(destRect.Bottom, dest.Height);
  if (x0 >= x1 || y0 >= y1) return;
  if (alpha >= 255) {
    if (src.Keyed)
      AlphaRows<true>(dest, destRect, x0, x1, y0, y1, src, TCopy{});
    else
      AlphaRows<false>(dest, destRect, x0, x1, y0, y1, src, TCopy{});
  } else {
    const TBlend blend{static_cast<uint32_t>(alpha)};
    if (src.Keyed)
      AlphaRows<true>(dest, destRect, x0, x1, y0, y1, src, blend);
    else
      AlphaRows<false>(dest, destRect, x0, x1, y0, y1, src, blend);
  }
}

void DrawPatternRotate(TSurface& dest, int x, int y, int w, int h, const TPixelView& src, double centerX,
                       double centerY, int angle) {
  if (!src.Pixels || src.Width <= 0 || src.Height <= 0 || w == 0 || h == 0) return;
  const int turn = ((angle % 256) + 256) % 256;
  const double sn = Turn().Sin[turn], cs = Turn().Cos[turn];
  const double px = centerX * w, py = centerY * h;  // pivot in the scaled pattern
  if (!std::isfinite(px) || !std::isfinite(py)) return;

  // Screen bounding box of the turned rectangle. A scaled point (u, v)
  // relative to the pivot lands at (x + u cos - v sin, y + u sin + v cos).
  const double us[2] = {-px, w - px}, vs[2] = {-py, h - py};
  double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
  for (double u : us)
    for (double v : vs) {
      const double sx = x + u * cs - v * sn, sy = y + u * sn + v * cs;
      minX = std::min(minX, sx), maxX = std::max(maxX, sx);
      minY = std::min(minY, sy), maxY = std::max(maxY, sy);
    }
  const double wLimit = dest.Width + 1.0, hLimit = dest.Height + 1.0;
  const int bx0 = std::max(static_cast<int>(std::floor(std::clamp(minX, -1.0, wLimit))), 0);
  const int bx1 = std::min(static_cast<int>(std::ceil(std::clamp(maxX, -1.0, wLimit))), dest.Width);
  const int by0 = std::max(static_cast<int>(std::floor(std::clamp(minY, -1.0, hLimit))), 0);
  const int by1 = std::min(static_cast<int>(std::ceil(std::clamp(maxY, -1.0, hLimit))), dest.Height);
  if (bx0 >= bx1 || by0 >= by1) return;

  // Inverse mapping of a pixel centre (X + dx, Y + dy): u = dx cos + dy sin,
  // v = -dx sin + dy cos, then into source pixels by sw / w and sh / h.
  // Source positions are linear in the screen column and row, so they are
  // walked in 32.32 fixed point from the box's top-left pixel: a step per
  // column and a step per row, worked out once here. A position that falls
  // exactly on a source pixel's edge must land in that pixel as the exact
  // arithmetic would, so the walk starts a hair (2^-20 pixel, far more than
  // the rounding drift of a whole frame of steps) past its true value.
  const double kx = static_cast<double>(src.Width) / w, ky = static_cast<double>(src.Height) / h;
  const int64_t stepX = std::llround(cs * kx * FixOne), stepY = std::llround(-sn * ky * FixOne);
  const int64_t rowStepX = std::llround(sn * kx * FixOne), rowStepY = std::llround(cs * ky * FixOne);
  constexpr double Hair = 1.0 / 1048576.0;
  const double cx = bx0 + 0.5 - x, cy = by0 + 0.5 - y;
  int64_t rowFx = static_cast<int64_t>(std::floor(((cx * cs + cy * sn + px) * kx + Hair) * FixOne));
  int64_t rowFy = static_cast<int64_t>(std::floor(((-cx * sn + cy * cs + py) * ky + Hair) * FixOne));
  const int64_t limitX = static_cast<int64_t>(src.Width) << 32, limitY = static_cast<int64_t>(src.Height) << 32;
  const int64_t lastColumn = bx1 - bx0 - 1;
  const TAxisWalk walkX(stepX, limitX), walkY(stepY, limitY);

  for (int row = by0; row < by1; ++row, rowFx += rowStepX, rowFy += rowStepY) {
    // The run of columns whose position lies inside the source, exactly, in
    // whole numbers: no search and no library call per row.
    int64_t c0 = 0, c1 = lastColumn;
    walkX.Clip(rowFx, lastColumn, c0, c1);
    walkY.Clip(rowFy, lastColumn, c0, c1);
    if (c0 > c1) continue;
    uint32_t* d = dest.Row(row) + bx0 + c0;
    const int n = static_cast<int>(c1 - c0 + 1);
    const int64_t fx = rowFx + c0 * stepX, fy = rowFy + c0 * stepY;
    if (src.Keyed)
      RotateRun<true>(d, n, src, fx, fy, stepX, stepY);
    else
      RotateRun<false>(d, n, src, fx, fy, stepX, stepY);
  }
}

void AllowWideVectorPaths(bool allowed) {
#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
  WideTurnsAllowed = allowed;
#else
  (void)allowed;
#endif
}
