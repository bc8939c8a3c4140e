#include "assets/paint/paint.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace paint {

// ---- Canvas --------------------------------------------------------------

TCanvas::TCanvas(int width, int height)
    : W(width), H(height), Image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      Context(cairo_create(Image)) {
  if (cairo_surface_status(Image) != CAIRO_STATUS_SUCCESS || cairo_status(Context) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("cannot create a " + std::to_string(width) + "x" + std::to_string(height) +
                             " canvas");
}

TCanvas::~TCanvas() {
  cairo_destroy(Context);
  cairo_surface_destroy(Image);
}

uint32_t* TCanvas::Row(int y) const {
  unsigned char* data = cairo_image_surface_get_data(Image);
  return reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * cairo_image_surface_get_stride(Image));
}

void TCanvas::Flush() const { cairo_surface_flush(Image); }
void TCanvas::MarkDirty() const { cairo_surface_mark_dirty(Image); }

// ---- Noise ---------------------------------------------------------------

uint32_t Hash2(int x, int y, uint32_t seed) {
  uint32_t h = seed ^ 0x27d4eb2du;
  h ^= static_cast<uint32_t>(x) * 0x85ebca6bu;
  h = (h << 13) | (h >> 19);
  h ^= static_cast<uint32_t>(y) * 0xc2b2ae35u;
  h *= 0x9e3779b1u;
  h ^= h >> 16;
  h *= 0x7feb352du;
  h ^= h >> 15;
  h *= 0x846ca68bu;
  h ^= h >> 16;
  return h;
}

double HashUnit(int x, int y, uint32_t seed) { return (Hash2(x, y, seed) >> 8) * (1.0 / 16777216.0); }

double TValueNoise::At(double x, double y) const {
  const double fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  double tx = x - fx, ty = y - fy;
  tx = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
  ty = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
  const double a = HashUnit(ix, iy, Seed), b = HashUnit(ix + 1, iy, Seed);
  const double c = HashUnit(ix, iy + 1, Seed), d = HashUnit(ix + 1, iy + 1, Seed);
  const double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

double TValueNoise::Fbm(double x, double y, int octaves, double lacunarity, double gain) const {
  double sum = 0, norm = 0, amp = 1;
  for (int i = 0; i < octaves; ++i) {
    // Each octave is offset so lattice points of different octaves never line up.
    sum += amp * At(x + i * 17.31, y - i * 9.77);
    norm += amp;
    amp *= gain;
    x *= lacunarity;
    y *= lacunarity;
  }
  return sum / norm;
}

uint32_t TRng::Next() {
  // xorshift32: tiny, fast and identical on every platform.
  State ^= State << 13;
  State ^= State >> 17;
  State ^= State << 5;
  return State;
}

double TRng::Unit() { return (Next() >> 8) * (1.0 / 16777216.0); }
double TRng::Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }
int TRng::Int(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<uint32_t>(hi - lo + 1)); }

// ---- Colours -------------------------------------------------------------

namespace {
double Channel(uint32_t rgb, int shift) { return ((rgb >> shift) & 0xFF) / 255.0; }
}  // namespace

void SetSource(cairo_t* cr, uint32_t rgb, double alpha) {
  cairo_set_source_rgba(cr, Channel(rgb, 16), Channel(rgb, 8), Channel(rgb, 0), alpha);
}

void AddStops(cairo_pattern_t* pattern, std::initializer_list<TStop> stops) {
  for (const TStop& s : stops)
    cairo_pattern_add_color_stop_rgba(pattern, s.Offset, Channel(s.Rgb, 16), Channel(s.Rgb, 8), Channel(s.Rgb, 0),
                                      s.Alpha);
}

cairo_pattern_t* LinearGradient(double x0, double y0, double x1, double y1, std::initializer_list<TStop> stops) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
  AddStops(p, stops);
  return p;
}

cairo_pattern_t* RadialGradient(double cx, double cy, double r0, double r1, std::initializer_list<TStop> stops) {
  cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, r0, cx, cy, r1);
  AddStops(p, stops);
  return p;
}

// ---- Pixel passes --------------------------------------------------------

void AddGrain(const TCanvas& canvas, double strength, uint32_t seed) {
  canvas.Flush();
  const TValueNoise mottle(seed ^ 0x5bd1e995u);
  const double scale = strength * 255.0 * 2.0;
  for (int y = 0; y < canvas.Height(); ++y) {
    uint32_t* row = canvas.Row(y);
    for (int x = 0; x < canvas.Width(); ++x) {
      const uint32_t p = row[x];
      const int a = static_cast<int>(p >> 24);
      if (a == 0) continue;
      const double n = 0.6 * (HashUnit(x, y, seed) - 0.5) + 0.4 * (mottle.At(x / 3.0, y / 3.0) - 0.5);
      const int delta = static_cast<int>(std::lround(n * scale * a / 255.0));
      auto shift = [&](int s) { return static_cast<uint32_t>(std::clamp(static_cast<int>((p >> s) & 0xFF) + delta, 0, a)) << s; };
      row[x] = (p & 0xFF000000u) | shift(16) | shift(8) | shift(0);
    }
  }
  canvas.MarkDirty();
}

namespace {

// Box widths whose three passes approximate a Gaussian of deviation sigma.
void BoxesForGauss(double sigma, int sizes[3]) {
  const int n = 3;
  const double ideal = std::sqrt(12.0 * sigma * sigma / n + 1.0);
  int wl = static_cast<int>(std::floor(ideal));
  if (wl % 2 == 0) --wl;
  const int wu = wl + 2;
  const double mIdeal = (12.0 * sigma * sigma - n * wl * wl - 4.0 * n * wl - 3.0 * n) / (-4.0 * wl - 4.0);
  const int m = static_cast<int>(std::lround(mIdeal));
  for (int i = 0; i < n; ++i) sizes[i] = i < m ? wl : wu;
}

// One box pass along rows (stride 1) or columns (stride = width) of four
// interleaved channels; outside the surface counts as transparent.
void BoxPass(const std::vector<int>& in, std::vector<int>& out, int count, int length, int step, int lineStep,
             int radius) {
  const int window = 2 * radius + 1;
  for (int line = 0; line < count; ++line) {
    const int base = line * lineStep;
    for (int c = 0; c < 4; ++c) {
      int sum = 0;
      for (int i = 0; i <= std::min(radius, length - 1); ++i) sum += in[(base + i * step) * 4 + c];
      for (int i = 0; i < length; ++i) {
        out[(base + i * step) * 4 + c] = (sum + window / 2) / window;
        const int add = i + radius + 1, drop = i - radius;
        if (add < length) sum += in[(base + add * step) * 4 + c];
        if (drop >= 0) sum -= in[(base + drop * step) * 4 + c];
      }
    }
  }
}

}  // namespace

void Blur(cairo_surface_t* surface, double radius) {
  if (radius <= 0.3) return;
  cairo_surface_flush(surface);
  const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  std::vector<int> a(static_cast<size_t>(w) * h * 4), b(a.size());
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 4; ++c) a[(static_cast<size_t>(y) * w + x) * 4 + c] = (row[x] >> (c * 8)) & 0xFF;
  }
  int sizes[3];
  BoxesForGauss(radius, sizes);
  for (int pass = 0; pass < 3; ++pass) {
    const int r = (sizes[pass] - 1) / 2;
    BoxPass(a, b, h, w, 1, w, r);
    BoxPass(b, a, w, h, w, 1, r);
  }
  for (int y = 0; y < h; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < w; ++x) {
      const int* p = &a[(static_cast<size_t>(y) * w + x) * 4];
      const int alpha = std::clamp(p[3], 0, 255);
      uint32_t v = static_cast<uint32_t>(alpha) << 24;
      for (int c = 0; c < 3; ++c) v |= static_cast<uint32_t>(std::clamp(p[c], 0, alpha)) << (c * 8);
      row[x] = v;
    }
  }
  cairo_surface_mark_dirty(surface);
}

void PaintBlurred(const TCanvas& target, double radius, double dx, double dy, double opacity,
                  const std::function<void(cairo_t*)>& draw, cairo_operator_t op) {
  // Record first, so only the inked area (plus the blur's reach) is blurred.
  cairo_surface_t* recording = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr);
  cairo_t* rec = cairo_create(recording);
  draw(rec);
  cairo_destroy(rec);
  double x0 = 0, y0 = 0, w = 0, h = 0;
  cairo_recording_surface_ink_extents(recording, &x0, &y0, &w, &h);
  const int margin = static_cast<int>(std::ceil(radius * 3)) + 2;
  const int left = std::max(0, static_cast<int>(std::floor(x0)) - margin);
  const int top = std::max(0, static_cast<int>(std::floor(y0)) - margin);
  const int right = std::min(target.Width(), static_cast<int>(std::ceil(x0 + w)) + margin);
  const int bottom = std::min(target.Height(), static_cast<int>(std::ceil(y0 + h)) + margin);
  if (w > 0 && h > 0 && right > left && bottom > top) {
    TCanvas layer(right - left, bottom - top);
    cairo_set_source_surface(layer.Cr(), recording, -left, -top);
    cairo_paint(layer.Cr());
    Blur(layer.Surface(), radius);
    cairo_t* cr = target.Cr();
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_operator(cr, op);
    cairo_set_source_surface(cr, layer.Surface(), left + dx, top + dy);
    cairo_paint_with_alpha(cr, opacity);
    cairo_restore(cr);
  }
  cairo_surface_destroy(recording);
}

// ---- Text ----------------------------------------------------------------

TFontFace DisplayFace(double size, double slant, double width) {
  return TFontFace{"PT Sans Narrow", size, true, slant, width};
}

void RequireFaces() {
  const TFontFace face = DisplayFace(10);
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.Family));
  FcPatternAddInteger(pattern, FC_WEIGHT, face.Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string found;
  FcChar8* family = nullptr;
  if (match && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch)
    found = reinterpret_cast<const char*>(family);
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  if (found != face.Family)
    throw std::runtime_error(std::string("the font \"") + face.Family + "\" is not installed (fonts-paratype); got \"" +
                             found + "\" instead");
}

void SelectFont(cairo_t* cr, const TFontFace& font) {
  cairo_select_font_face(cr, font.Family, CAIRO_FONT_SLANT_NORMAL,
                         font.Bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_matrix_t m;
  cairo_matrix_init(&m, font.Size * font.Width, 0.0, font.Slant * font.Size, font.Size, 0.0, 0.0);
  cairo_set_font_matrix(cr, &m);
  // Outline hinting off: the same glyph shapes at every position, so a
  // caption drawn at a fractional offset keeps its proportions.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

TInk MeasureInk(cairo_t* cr, const std::string& utf8) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, utf8.c_str(), &e);
  return TInk{e.x_bearing, e.y_bearing, e.width, e.height, e.x_advance};
}

void CentredTextPath(cairo_t* cr, const std::string& utf8, double cx, double cy) {
  const TInk ink = MeasureInk(cr, utf8);
  cairo_move_to(cr, cx - (ink.X + ink.Width / 2), cy - (ink.Y + ink.Height / 2));
  cairo_text_path(cr, utf8.c_str());
}

// ---- Conversion ----------------------------------------------------------

TSurface ToOpaqueSurface(const TCanvas& canvas) {
  canvas.Flush();
  TSurface s;
  s.Resize(canvas.Width(), canvas.Height());
  for (int y = 0; y < canvas.Height(); ++y) {
    const uint32_t* from = canvas.Row(y);
    uint32_t* to = s.Row(y);
    for (int x = 0; x < canvas.Width(); ++x) to[x] = from[x] & 0x00FFFFFFu;
  }
  return s;
}

TSurface ToKeyedSurface(const TCanvas& canvas, uint32_t keyRgb) {
  canvas.Flush();
  TSurface s;
  s.Resize(canvas.Width(), canvas.Height());
  for (int y = 0; y < canvas.Height(); ++y) {
    const uint32_t* from = canvas.Row(y);
    uint32_t* to = s.Row(y);
    for (int x = 0; x < canvas.Width(); ++x) {
      const uint32_t p = from[x];
      const uint32_t a = p >> 24;
      if (a < 128) {
        to[x] = keyRgb;
        continue;
      }
      uint32_t rgb = 0;
      for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t c = std::min<uint32_t>(255, (((p >> shift) & 0xFF) * 255 + a / 2) / a);
        rgb |= c << shift;
      }
      if (rgb == keyRgb) rgb ^= 1;
      to[x] = rgb;
    }
  }
  return s;
}

void BlitSurfaceAlpha(const TCanvas& canvas, const TSurface& source, int dx, int dy, double alpha) {
  canvas.Flush();
  const int a = static_cast<int>(std::lround(std::clamp(alpha, 0.0, 1.0) * 256));
  for (int y = 0; y < source.Height; ++y) {
    const int ty = y + dy;
    if (ty < 0 || ty >= canvas.Height()) continue;
    const uint32_t* from = source.Row(y);
    uint32_t* to = canvas.Row(ty);
    for (int x = 0; x < source.Width; ++x) {
      const int tx = x + dx;
      if (tx < 0 || tx >= canvas.Width()) continue;
      uint32_t out = 0xFF000000u;
      for (int shift = 0; shift <= 16; shift += 8) {
        const int s = (from[x] >> shift) & 0xFF, d = (to[tx] >> shift) & 0xFF;
        out |= static_cast<uint32_t>(d + (((s - d) * a) >> 8)) << shift;
      }
      to[tx] = out;
    }
  }
  canvas.MarkDirty();
}

void BlitSurface(const TCanvas& canvas, const TSurface& source, int dx, int dy) {
  BlitSurfaceAlpha(canvas, source, dx, dy, 1.0);
}

void CopyCrop(const TCanvas& from, int x, int y, const TCanvas& to) {
  cairo_t* cr = to.Cr();
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, from.Surface(), -x, -y);
  cairo_paint(cr);
  cairo_restore(cr);
}

void FadeEdgesInto(const TCanvas& painted, const TCanvas& base, double border) {
  painted.Flush();
  base.Flush();
  const int w = painted.Width(), h = painted.Height();
  for (int y = 0; y < h; ++y) {
    uint32_t* row = painted.Row(y);
    const uint32_t* under = base.Row(y);
    for (int x = 0; x < w; ++x) {
      const double d = std::min({x + 0.5, w - x - 0.5, y + 0.5, h - y - 0.5});
      if (d >= border) continue;
      double t = d / border;
      t = t * t * (3 - 2 * t);
      uint32_t out = 0;
      for (int shift = 0; shift <= 24; shift += 8) {
        const double a = (under[x] >> shift) & 0xFF, b = (row[x] >> shift) & 0xFF;
        out |= static_cast<uint32_t>(std::lround(a + (b - a) * t)) << shift;
      }
      row[x] = out;
    }
  }
  painted.MarkDirty();
}

void WritePng(const TCanvas& canvas, const std::string& path) {
  canvas.Flush();
  const cairo_status_t status = cairo_surface_write_to_png(canvas.Surface(), path.c_str());
  if (status != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("cannot write " + path + ": " + cairo_status_to_string(status));
}

}  // namespace paint
