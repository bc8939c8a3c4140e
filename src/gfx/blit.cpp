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
  const __m256i by257 = _mm256_set1_epi16(257);
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
    // (x + (x >> 8)) >> 8 is x * 257 >> 16 for every 16-bit x: one multiply.
    lo = _mm256_mulhi_epu16(lo, by257);
    hi = _mm256_mulhi_epu16(hi, by257);
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
    return _mm_mulhi_epu16(x, _mm_set1_epi16(257));
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
    i = TurnedRunSse2<Keyed>(d, n, pixels, stride, key, fx, fy, stepX, stepY);
    fx += i * stepX, fy += i * stepY;
  }
#endif
  for (; i < n; ++i, fx += stepX, fy += stepY)
    Put<Keyed>(d[i], pixels[(fy >> 32) * stride + (fx >> 32)], key, TCopy{});
}

// floor(N / D), D > 0, for an N that moves by the same amount every row: a
// quotient and a remainder carried from row to row, exact in whole numbers
// and without a division per row.
struct TFloorWalk {
  int64_t Q = 0, R = 0, D = 1, StepQ = 0, StepR = 0;

  static int64_t FloorDiv(int64_t n, int64_t d) {
    const int64_t q = n / d;
    return q * d > n ? q - 1 : q;
  }
  TFloorWalk() = default;
  TFloorWalk(int64_t n, int64_t dn, int64_t d) : D(d) {
    Q = FloorDiv(n, d), R = n - Q * d;
    StepQ = FloorDiv(dn, d), StepR = dn - StepQ * d;
  }
  __attribute__((always_inline)) void Next() {
    Q += StepQ, R += StepR;
    if (R >= D) R -= D, ++Q;
  }
};

// One coordinate of a turned copy's source position, F + c * Step for
// screen column c, which must stay in 0 .. Limit - 1: the run of columns
// that keeps it there, row after row, F moving by RowStep each row. With
// S = |Step| the run's ends are floor(F / S) and floor((Limit - 1 - F) / S),
// one of them negated, whichever way the position runs along the row.
struct TAxisRuns {
  int64_t Step, Limit, F, RowStep;
  TFloorWalk Low, High;  // on F and on Limit - 1 - F

  TAxisRuns(int64_t f, int64_t step, int64_t rowStep, int64_t limit)
      : Step(step), Limit(limit), F(f), RowStep(rowStep) {
    if (step == 0) return;
    const int64_t s = step > 0 ? step : -step;
    Low = TFloorWalk(f, rowStep, s);
    High = TFloorWalk(limit - 1 - f, -rowStep, s);
  }
  // Narrows this row's columns C0..C1 to those inside the source.
  __attribute__((always_inline)) void Clip(int64_t& c0, int64_t& c1) const {
    if (Step == 0) {
      if (F < 0 || F >= Limit) c1 = c0 - 1;
    } else if (Step > 0) {
      c0 = std::max(c0, -Low.Q), c1 = std::min(c1, High.Q);
    } else {
      c0 = std::max(c0, -High.Q), c1 = std::min(c1, Low.Q);
    }
  }
  __attribute__((always_inline)) void NextRow() {
    F += RowStep;
    if (Step != 0) Low.Next(), High.Next();
  }
};

// What DrawPatternRotate works out once per call: the screen box's rows,
// where the first starts in the source, and a step per column and per row.
struct TTurnedCopy {
  TSurface* Dest;
  const TPixelView* Src;
  int Bx0, By0, By1;
  int64_t RowFx, RowFy, RowStepX, RowStepY, StepX, StepY, LastColumn, LimitX, LimitY;
};

// The box's rows one after another: for each, the run of columns whose
// position lies inside the source and the position at its first column.
struct TTurnedRuns {
  const TTurnedCopy& T;
  TAxisRuns X, Y;
  explicit TTurnedRuns(const TTurnedCopy& t)
      : T(t), X(t.RowFx, t.StepX, t.RowStepX, t.LimitX), Y(t.RowFy, t.StepY, t.RowStepY, t.LimitY) {}

  // False when this row misses the source. Moves on to the next row.
  // Inlined into each machine's row loop, wide or not.
  __attribute__((always_inline)) bool Run(int64_t& c0, int64_t& n, int64_t& fx, int64_t& fy) {
    c0 = 0;
    int64_t c1 = T.LastColumn;
    X.Clip(c0, c1), Y.Clip(c0, c1);
    n = c1 - c0 + 1;
    fx = X.F + c0 * T.StepX, fy = Y.F + c0 * T.StepY;
    X.NextRow(), Y.NextRow();
    return n > 0;
  }
};

template <bool Keyed>
void TurnedRows(const TTurnedCopy& t) {
  TTurnedRuns runs(t);
  for (int row = t.By0; row < t.By1; ++row) {
    int64_t c0, n, fx, fy;
    if (runs.Run(c0, n, fx, fy))
      RotateRun<Keyed>(t.Dest->Row(row) + t.Bx0 + c0, static_cast<int>(n), *t.Src, fx, fy, t.StepX, t.StepY);
  }
}

#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
// CopyRun eight pixels at a time, where the machine has AVX2; the run's last
// few pixels go under a mask, so nothing past it is read or written.
__attribute__((target("avx2"), always_inline)) inline void CopyRunAvx2(uint32_t* d, const uint32_t* s, int64_t n,
                                                                       __m256i low24, __m256i k, __m256i lanes) {
  int64_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    __m256i* out = reinterpret_cast<__m256i*>(d + i);
    _mm256_storeu_si256(out, _mm256_blendv_epi8(p, _mm256_loadu_si256(out),
                                                 _mm256_cmpeq_epi32(_mm256_and_si256(p, low24), k)));
  }
  if (i < n) {
    const __m256i inRun = _mm256_cmpgt_epi32(_mm256_set1_epi32(static_cast<int32_t>(n - i)), lanes);
    const __m256i p = _mm256_maskload_epi32(reinterpret_cast<const int*>(s + i), inRun);
    _mm256_maskstore_epi32(reinterpret_cast<int*>(d + i),
                           _mm256_andnot_si256(_mm256_cmpeq_epi32(_mm256_and_si256(p, low24), k), inRun), p);
  }
}

// DrawPattern's rows eight pixels at a time. Sprite rows are short (a tile's
// is 72 pixels), so an inline loop beats a call to memcpy for each.
template <bool Keyed>
__attribute__((target("avx2"))) void PatternRowsAvx2(TSurface& dest, int x0, int n, int y0, int y1,
                                                     const uint32_t* s, int64_t stride, uint32_t key) {
  const __m256i low24 = _mm256_set1_epi32(0xFFFFFF), k = _mm256_set1_epi32(static_cast<int>(key & 0xFFFFFFu));
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i tail = _mm256_cmpgt_epi32(_mm256_set1_epi32(n % 8), lanes);
  for (int dy = y0; dy < y1; ++dy, s += stride) {
    uint32_t* d = dest.Row(dy) + x0;
    if constexpr (Keyed) {
      CopyRunAvx2(d, s, n, low24, k, lanes);
    } else {
      int i = 0;
      for (; i + 8 <= n; i += 8)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i)));
      if (i < n)
        _mm256_maskstore_epi32(reinterpret_cast<int*>(d + i), tail,
                               _mm256_maskload_epi32(reinterpret_cast<const int*>(s + i), tail));
    }
  }
}
#endif

#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
// The turned rows eight pixels at a time with the machine's gather, where it
// has AVX2 (checked at run time; every x86-64 has the SSE2 of TurnedRows).
// Each lane keeps its position as a whole part folded into the pixel index
// and a 32-bit fraction; a step adds the fractions, and each one that wraps
// carries a column (or a row: a stride) into the index. That is the 32.32
// walk exactly, in 32-bit lanes; indices fit, as no picture has more than
// 2^26 pixels. The fractions are kept offset by half their range, so that a
// signed compare finds the carries. A row's last few pixels go through the
// same steps under a mask, so no lane reads or writes past the run.
template <bool Keyed>
__attribute__((target("avx2"))) void TurnedRowsAvx2(const TTurnedCopy& t) {
  const TPixelView& src = *t.Src;
  const int* pixels = reinterpret_cast<const int*>(src.Pixels);
  const int64_t stride = src.Stride;
  constexpr uint32_t Offset = 0x80000000u;
  const auto whole = [](int64_t f) { return f >> 32; };
  const auto fraction = [](int64_t f) { return static_cast<int32_t>(static_cast<uint32_t>(f)); };
  // Lane j sits j steps along the row: that offset split the same way.
  alignas(32) int32_t laneIndex[8], laneFracX[8], laneFracY[8];
  for (int j = 0; j < 8; ++j) {
    laneIndex[j] = static_cast<int32_t>(whole(j * t.StepY) * stride + whole(j * t.StepX));
    laneFracX[j] = fraction(j * t.StepX);
    laneFracY[j] = fraction(j * t.StepY);
  }
  const __m256i offIndex = _mm256_load_si256(reinterpret_cast<const __m256i*>(laneIndex));
  const __m256i offFracX = _mm256_load_si256(reinterpret_cast<const __m256i*>(laneFracX));
  const __m256i offFracY = _mm256_load_si256(reinterpret_cast<const __m256i*>(laneFracY));
  const __m256i addFracX = _mm256_set1_epi32(fraction(8 * t.StepX)), addFracY = _mm256_set1_epi32(fraction(8 * t.StepY));
  const __m256i addIndex = _mm256_set1_epi32(static_cast<int32_t>(whole(8 * t.StepY) * stride + whole(8 * t.StepX)));
  const __m256i vStride = _mm256_set1_epi32(static_cast<int32_t>(stride));
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i low24 = _mm256_set1_epi32(0xFFFFFF), k = _mm256_set1_epi32(static_cast<int>(src.Key & 0xFFFFFFu));
  const __m256i offset = _mm256_set1_epi32(static_cast<int32_t>(Offset));

  TTurnedRuns runs(t);
  for (int row = t.By0; row < t.By1; ++row) {
    int64_t c0, n, fx, fy;
    if (!runs.Run(c0, n, fx, fy)) continue;
    if (t.StepY == 0) {  // heading straight along the source rows
      if (Keyed && t.StepX == static_cast<int64_t>(FixOne))
        CopyRunAvx2(t.Dest->Row(row) + t.Bx0 + c0, src.Pixels + (fy >> 32) * stride + (fx >> 32), n, low24, k, lanes);
      else
        RotateRun<Keyed>(t.Dest->Row(row) + t.Bx0 + c0, static_cast<int>(n), src, fx, fy, t.StepX, t.StepY);
      continue;
    }
    int* d = reinterpret_cast<int*>(t.Dest->Row(row) + t.Bx0 + c0);
    const __m256i startX = _mm256_xor_si256(_mm256_set1_epi32(fraction(fx)), offset);
    const __m256i startY = _mm256_xor_si256(_mm256_set1_epi32(fraction(fy)), offset);
    __m256i fracX = _mm256_add_epi32(startX, offFracX), fracY = _mm256_add_epi32(startY, offFracY);
    __m256i index = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(whole(fy) * stride + whole(fx))), offIndex);
    index = _mm256_sub_epi32(index, _mm256_cmpgt_epi32(startX, fracX));
    index = _mm256_add_epi32(index, _mm256_and_si256(_mm256_cmpgt_epi32(startY, fracY), vStride));
    int64_t i = 0;
    for (; i + 8 <= n; i += 8) {
      const __m256i p = _mm256_i32gather_epi32(pixels, index, 4);
      __m256i* out = reinterpret_cast<__m256i*>(d + i);
      if constexpr (Keyed)
        _mm256_storeu_si256(out, _mm256_blendv_epi8(p, _mm256_loadu_si256(out),
                                                     _mm256_cmpeq_epi32(_mm256_and_si256(p, low24), k)));
      else
        _mm256_storeu_si256(out, p);
      const __m256i nextX = _mm256_add_epi32(fracX, addFracX), nextY = _mm256_add_epi32(fracY, addFracY);
      index = _mm256_add_epi32(_mm256_sub_epi32(index, _mm256_cmpgt_epi32(fracX, nextX)),
                               _mm256_add_epi32(addIndex, _mm256_and_si256(_mm256_cmpgt_epi32(fracY, nextY), vStride)));
      fracX = nextX, fracY = nextY;
    }
    if (i < n) {
      const __m256i inRun = _mm256_cmpgt_epi32(_mm256_set1_epi32(static_cast<int32_t>(n - i)), lanes);
      const __m256i p = _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), pixels, index, inRun, 4);
      __m256i store = inRun;
      if constexpr (Keyed) store = _mm256_andnot_si256(_mm256_cmpeq_epi32(_mm256_and_si256(p, low24), k), inRun);
      _mm256_maskstore_epi32(d + i, store, p);
    }
  }
}
#endif

}  // namespace

void DrawPattern(TSurface& dest, int x, int y, const TPixelView& src) {
  if (!src.Pixels || src.Width <= 0 || src.Height <= 0) return;
  const int x0 = std::max(x, 0), x1 = static_cast<int>(std::min<int64_t>(int64_t{x} + src.Width, dest.Width));
  const int y0 = std::max(y, 0), y1 = static_cast<int>(std::min<int64_t>(int64_t{y} + src.Height, dest.Height));
  if (x0 >= x1 || y0 >= y1) return;
  const int n = x1 - x0;
  const uint32_t key = src.Key;
#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
  if (HasAvx2()) {
    const uint32_t* s = src.Pixels + static_cast<ptrdiff_t>(y0 - y) * src.Stride + (x0 - x);
    if (src.Keyed)
      PatternRowsAvx2<true>(dest, x0, n, y0, y1, s, src.Stride, key);
    else
      PatternRowsAvx2<false>(dest, x0, n, y0, y1, s, src.Stride, key);
    return;
  }
#endif
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
  const int64_t rowFx = static_cast<int64_t>(std::floor(((cx * cs + cy * sn + px) * kx + Hair) * FixOne));
  const int64_t rowFy = static_cast<int64_t>(std::floor(((-cx * sn + cy * cs + py) * ky + Hair) * FixOne));
  const int64_t limitX = static_cast<int64_t>(src.Width) << 32, limitY = static_cast<int64_t>(src.Height) << 32;
  const TTurnedCopy turned{&dest, &src,  bx0,   by0,   by1,           rowFx,  rowFy,
                           rowStepX, rowStepY, stepX, stepY, bx1 - bx0 - 1, limitX, limitY};
#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
  if (HasAvx2()) {
    if (src.Keyed)
      TurnedRowsAvx2<true>(turned);
    else
      TurnedRowsAvx2<false>(turned);
    return;
  }
#endif
  if (src.Keyed)
    TurnedRows<true>(turned);
  else
    TurnedRows<false>(turned);
}

void AllowWideVectorPaths(bool allowed) {
#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
  WideTurnsAllowed = allowed;
#else
  (void)allowed;
#endif
}
