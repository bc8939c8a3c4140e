#include "assets/pictures/town/tile_paint.h"

#include <algorithm>
#include <cmath>

using namespace paint;

namespace tiles {

namespace {

// Where the light comes from: top-left and high.
constexpr double kLightX = -1.0, kLightY = -1.0, kLightZ = 1.6;

double Quintic(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

int WrapIndex(int i, int n) { return ((i % n) + n) % n; }

}  // namespace

// ---- Colours ----------------------------------------------------------------

TColour Hex(uint32_t rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

TColour Mix(TColour a, TColour b, double t) {
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

TColour Scale(TColour c, double k) { return {c.R * k, c.G * k, c.B * k}; }

void SetColour(cairo_t* cr, TColour c, double alpha) {
  cairo_set_source_rgba(cr, std::clamp(c.R, 0.0, 1.0), std::clamp(c.G, 0.0, 1.0), std::clamp(c.B, 0.0, 1.0), alpha);
}

double Smooth(double e0, double e1, double x) {
  const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

double Wrap(double v) {
  const double w = std::fmod(v, static_cast<double>(kTile));
  return w < 0 ? w + kTile : w;
}

// ---- Noise ------------------------------------------------------------------

double TiledNoise(double x, double y, int cells, uint32_t seed) {
  const double u = Wrap(x) * cells / kTile, v = Wrap(y) * cells / kTile;
  const int iu = static_cast<int>(std::floor(u)), iv = static_cast<int>(std::floor(v));
  const double tu = Quintic(u - iu), tv = Quintic(v - iv);
  const int u0 = WrapIndex(iu, cells), u1 = WrapIndex(iu + 1, cells);
  const int v0 = WrapIndex(iv, cells), v1 = WrapIndex(iv + 1, cells);
  const double a = HashUnit(u0, v0, seed), b = HashUnit(u1, v0, seed);
  const double c = HashUnit(u0, v1, seed), d = HashUnit(u1, v1, seed);
  const double top = a + (b - a) * tu, bottom = c + (d - c) * tu;
  return top + (bottom - top) * tv;
}

double TiledFbm(double x, double y, int cells, int octaves, uint32_t seed) {
  double sum = 0, norm = 0, amp = 1;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * TiledNoise(x, y, cells, seed + 977u * static_cast<uint32_t>(i));
    norm += amp;
    amp *= 0.5;
    cells *= 2;
  }
  return sum / norm;
}

double TiledHash(double x, double y, uint32_t seed) {
  return HashUnit(static_cast<int>(std::floor(Wrap(x))), static_cast<int>(std::floor(Wrap(y))), seed) - 0.5;
}

// ---- Ground -----------------------------------------------------------------

TColour Grass(double x, double y) {
  // Patches in two sizes, kept soft: every lawn repeats this tile, and
  // strong blotches would show the repeat as a grid.
  const double patches = 0.6 * TiledFbm(x, y, 4, 3, 0x47524153u) + 0.4 * TiledNoise(x, y, 9, 0x47524154u);
  TColour c = Mix(Hex(0x688749), Hex(0x51703d), 0.75 * Smooth(0.38, 0.68, patches));
  // Dry, yellower spots where the patches are light.
  c = Mix(c, Hex(0x8f9156), 0.18 * Smooth(0.55, 0.85, TiledNoise(x, y, 6, 0x44525959u)) * (1 - Smooth(0.4, 0.6, patches)));
  const double fine = TiledNoise(x, y, 24, 0x46494e45u) - 0.5;
  const double blades = TiledNoise(x, y, 36, 0x424c4144u) - 0.5;
  return Scale(c, 1 + 0.12 * fine + 0.10 * blades + 0.09 * TiledHash(x, y, 0x47524e31u));
}

TColour SidewalkPaving(double x, double y, uint32_t slabSeed) {
  constexpr double kSlab = 18;
  x = Wrap(x);
  y = Wrap(y);
  const int ix = static_cast<int>(x / kSlab), iy = static_cast<int>(y / kSlab);
  const double fx = x - ix * kSlab, fy = y - iy * kSlab;
  const double grain = TiledHash(x, y, 0x50415631u);
  const double toLeftTop = std::min(fx, fy), toRightBottom = std::min(kSlab - fx, kSlab - fy);
  if (std::min(toLeftTop, toRightBottom) < 0.75) return Scale(Hex(0x6b645a), 1 + 0.12 * grain);
  const double tone = 1 + 0.09 * (HashUnit(ix, iy, slabSeed) - 0.5);
  const double mottle = 1 + 0.08 * (TiledFbm(x, y, 6, 2, 0x5041564du) - 0.5);
  TColour c = Scale(Hex(0x9a9185), tone * mottle * (1 + 0.07 * grain));
  if (toLeftTop < 1.7) c = Scale(c, 1.07);
  else if (toRightBottom < 1.7) c = Scale(c, 0.92);
  // Now and then a dark stain on a slab.
  const double stain = TiledNoise(x, y, 12, slabSeed ^ 0x53544e31u);
  if (stain > 0.8) c = Scale(c, 1 - 0.6 * (stain - 0.8));
  return c;
}

TColour PlazaPaving(double x, double y, uint32_t slabSeed) {
  constexpr double kSlab = 24;
  x = Wrap(x);
  y = Wrap(y);
  const int ix = static_cast<int>(x / kSlab), iy = static_cast<int>(y / kSlab);
  const double fx = x - ix * kSlab, fy = y - iy * kSlab;
  const double grain = TiledHash(x, y, 0x504c5a31u);
  const double toLeftTop = std::min(fx, fy), toRightBottom = std::min(kSlab - fx, kSlab - fy);
  if (std::min(toLeftTop, toRightBottom) < 0.7) return Scale(Hex(0x968e80), 1 + 0.08 * grain);
  // A faint chequer of two stones.
  const double chequer = ((ix + iy) % 2 == 0) ? 1.0 : 0.955;
  const double tone = 1 + 0.06 * (HashUnit(ix, iy, slabSeed) - 0.5);
  const double mottle = 1 + 0.06 * (TiledFbm(x, y, 6, 2, 0x504c5a4du) - 0.5);
  TColour c = Scale(Hex(0xc2baa9), chequer * tone * mottle * (1 + 0.05 * grain));
  if (toLeftTop < 1.6) c = Scale(c, 1.05);
  else if (toRightBottom < 1.6) c = Scale(c, 0.93);
  return c;
}

TColour Asphalt(double x, double y) {
  const double large = TiledFbm(x, y, 4, 3, 0x41535048u) - 0.5;
  const double fine = TiledNoise(x, y, 36, 0x41535046u) - 0.5;
  const double grain = TiledHash(x, y, 0x41535047u);
  TColour c = Scale(Hex(0x3b3e45), 1 + 0.10 * large + 0.08 * fine + 0.10 * grain);
  // Stone chips in the surface catch the light.
  const double chip = TiledHash(x, y, 0x43484950u);
  if (chip > 0.47) c = Scale(c, 1.22);
  else if (chip < -0.48) c = Scale(c, 0.82);
  return c;
}

void PaintPixels(const TCanvas& canvas, const TShader& shader, int samples) {
  canvas.Flush();
  const double step = 1.0 / samples;
  const double norm = 1.0 / (samples * samples);
  for (int py = 0; py < canvas.Height(); ++py) {
    uint32_t* row = canvas.Row(py);
    for (int px = 0; px < canvas.Width(); ++px) {
      double r = 0, g = 0, b = 0;
      for (int j = 0; j < samples; ++j)
        for (int i = 0; i < samples; ++i) {
          const TColour c = shader(px + (i + 0.5) * step, py + (j + 0.5) * step);
          r += c.R;
          g += c.G;
          b += c.B;
        }
      auto ch = [&](double v) {
        return static_cast<uint32_t>(std::lround(std::clamp(v * norm, 0.0, 1.0) * 255));
      };
      row[px] = 0xFF000000u | ch(r) << 16 | ch(g) << 8 | ch(b);
    }
  }
  canvas.MarkDirty();
}

void PaintLawn(const TCanvas& canvas) {
  PaintPixels(canvas, [](double x, double y) { return Grass(x, y); });
  GrassTufts(canvas);
}

void GrassTufts(const TCanvas& canvas) {
  struct TTuft {
    double X, Y, Size;
    bool Light;
    uint32_t Seed;
  };
  static const std::vector<TTuft> tufts = [] {
    std::vector<TTuft> out;
    TRng rng(0x54554654u);
    for (int i = 0; i < 16; ++i)
      out.push_back({rng.Range(0, kTile), rng.Range(0, kTile), rng.Range(2.5, 5.0), rng.Unit() < 0.55, rng.Next()});
    return out;
  }();
  cairo_t* cr = canvas.Cr();
  cairo_save(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 0.9);
  const int tilesX = (canvas.Width() + kTile - 1) / kTile + 1, tilesY = (canvas.Height() + kTile - 1) / kTile + 1;
  for (int ty = -1; ty < tilesY; ++ty)
    for (int tx = -1; tx < tilesX; ++tx)
      for (const TTuft& t : tufts) {
        const double bx = tx * kTile + t.X, by = ty * kTile + t.Y;
        if (bx < -8 || by < -8 || bx > canvas.Width() + 8 || by > canvas.Height() + 8) continue;
        TRng rng(t.Seed);
        const int blades = 3 + static_cast<int>(rng.Next() % 3);
        for (int k = 0; k < blades; ++k) {
          const double a = -kPi / 2 + rng.Range(-0.9, 0.9);
          const double len = t.Size * rng.Range(0.7, 1.2);
          const double ox = rng.Range(-1.2, 1.2);
          SetColour(cr, t.Light ? Hex(0x89a65f) : Hex(0x3c5530), t.Light ? 0.75 : 0.65);
          cairo_move_to(cr, bx + ox, by);
          cairo_curve_to(cr, bx + ox + std::cos(a) * len * 0.4, by + std::sin(a) * len * 0.5,
                         bx + ox + std::cos(a) * len * 0.8, by + std::sin(a) * len * 0.9, bx + ox + std::cos(a + 0.25) * len,
                         by + std::sin(a + 0.25) * len);
          cairo_stroke(cr);
        }
      }
  cairo_restore(cr);
}

// ---- Raised things ----------------------------------------------------------

void PathPolygon(cairo_t* cr, const std::vector<TPoint>& points) {
  cairo_new_sub_path(cr);
  for (size_t i = 0; i < points.size(); ++i) {
    if (i == 0) cairo_move_to(cr, points[i].X, points[i].Y);
    else cairo_line_to(cr, points[i].X, points[i].Y);
  }
  cairo_close_path(cr);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  r = std::min({r, w / 2, h / 2});
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

void DropShadow(const TCanvas& canvas, const std::function<void(cairo_t*)>& shape, double offset, double opacity,
                double blur) {
  PaintBlurred(canvas, blur, offset, offset, opacity, [&](cairo_t* cr) {
    shape(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_fill(cr);
  });
}

namespace {

struct TRoofLook {
  TColour Base;
  TColour Ridge, RidgeLight;
};

TRoofLook LookOf(TRoofKind kind) {
  switch (kind) {
    case TRoofKind::Terracotta: return {Hex(0xb05a3a), Hex(0x853b24), Hex(0xd88a62)};
    case TRoofKind::Slate: return {Hex(0x58626f), Hex(0x3a414a), Hex(0x8a96a3)};
    case TRoofKind::Tin: return {Hex(0x9aa6ad), Hex(0x6f7a80), Hex(0xdfe6ea)};
    case TRoofKind::Felt: break;
  }
  return {Hex(0x4b4a4c), Hex(0x353436), Hex(0x6a696b)};
}

// Brightness of a roof plane pitched about 35 degrees, falling towards
// `downslope`, under the light from the top-left.
double FacetLight(TPoint downslope) {
  const double sinP = std::sin(35 * kPi / 180), cosP = std::cos(35 * kPi / 180);
  const double nx = downslope.X * sinP, ny = downslope.Y * sinP, nz = cosP;
  const double ln = std::sqrt(kLightX * kLightX + kLightY * kLightY + kLightZ * kLightZ);
  const double dot = (nx * kLightX + ny * kLightY + nz * kLightZ) / ln;
  return 0.42 + 0.68 * std::max(0.0, dot);
}

}  // namespace

void RoofFacet(cairo_t* cr, const std::vector<TPoint>& outline, TPoint d, TRoofKind kind, uint32_t seed) {
  const TRoofLook look = LookOf(kind);
  const double light = FacetLight(d);
  double cx = 0, cy = 0;
  for (const TPoint& p : outline) {
    cx += p.X;
    cy += p.Y;
  }
  cx /= outline.size();
  cy /= outline.size();
  double vmin = 1e9, vmax = -1e9, umin = 1e9, umax = -1e9;
  const TPoint u{-d.Y, d.X};
  for (const TPoint& p : outline) {
    const double pv = (p.X - cx) * d.X + (p.Y - cy) * d.Y, pu = (p.X - cx) * u.X + (p.Y - cy) * u.Y;
    vmin = std::min(vmin, pv);
    vmax = std::max(vmax, pv);
    umin = std::min(umin, pu);
    umax = std::max(umax, pu);
  }

  cairo_save(cr);
  PathPolygon(cr, outline);
  cairo_clip(cr);
  // Base with a slight darkening towards the eaves.
  const TColour base = Scale(look.Base, light);
  cairo_pattern_t* g = cairo_pattern_create_linear(cx + d.X * vmin, cy + d.Y * vmin, cx + d.X * vmax, cy + d.Y * vmax);
  cairo_pattern_add_color_stop_rgb(g, 0, std::min(1.0, base.R * 1.05), std::min(1.0, base.G * 1.05), std::min(1.0, base.B * 1.05));
  cairo_pattern_add_color_stop_rgb(g, 1, base.R * 0.93, base.G * 0.93, base.B * 0.93);
  cairo_set_source(cr, g);
  cairo_paint(cr);
  cairo_pattern_destroy(g);

  // Texture in the facet's own frame: v runs down the slope, u along the eaves.
  cairo_matrix_t m;
  cairo_matrix_init(&m, u.X, u.Y, d.X, d.Y, cx, cy);
  cairo_transform(cr, &m);
  TRng rng(seed);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  switch (kind) {
    case TRoofKind::Terracotta: {
      // Courses of curved tiles: each course's lower edge casts a thin
      // shadow on the course below, and the tiles' rounded backs make
      // faint channels down the slope, offset from course to course.
      int course = 0;
      for (double vv = std::floor(vmin / 5.5) * 5.5; vv <= vmax; vv += 5.5, ++course) {
        const double shift = (course % 2) * 2.5;
        for (double uu = std::floor(umin / 5.0) * 5.0 - 5 + shift; uu <= umax; uu += 5.0) {
          cairo_pattern_t* barrel = cairo_pattern_create_linear(uu, 0, uu + 5, 0);
          cairo_pattern_add_color_stop_rgba(barrel, 0, 0.25, 0.06, 0, 0.18);
          cairo_pattern_add_color_stop_rgba(barrel, 0.45, 1, 0.8, 0.6, 0.12);
          cairo_pattern_add_color_stop_rgba(barrel, 1, 0.25, 0.06, 0, 0.18);
          cairo_rectangle(cr, uu, vv, 5.0, 5.5);
          cairo_set_source(cr, barrel);
          cairo_fill(cr);
          cairo_pattern_destroy(barrel);
        }
        cairo_set_line_width(cr, 1.3);
        cairo_set_source_rgba(cr, 0.16, 0.03, 0, 0.45);
        cairo_move_to(cr, umin, vv + 5.5);
        cairo_line_to(cr, umax, vv + 5.5);
        cairo_stroke(cr);
      }
      // A few weathered tiles.
      for (int i = 0; i < static_cast<int>((umax - umin) * (vmax - vmin) / 160); ++i) {
        const double uu = std::floor(rng.Range(umin, umax) / 5.0) * 5.0, vv = std::floor(rng.Range(vmin, vmax) / 5.5) * 5.5;
        cairo_rectangle(cr, uu, vv, 5.0, 5.5);
        cairo_set_source_rgba(cr, rng.Unit() < 0.5 ? 0.25 : 0.9, rng.Unit() < 0.5 ? 0.1 : 0.6, 0.05, 0.12);
        cairo_fill(cr);
      }
      break;
    }
    case TRoofKind::Slate: {
      int course = 0;
      for (double vv = std::floor(vmin / 4.0) * 4.0; vv <= vmax; vv += 4.0, ++course) {
        const double shift = (course % 2) * 3.5;
        for (double uu = std::floor(umin / 7.0) * 7.0 - 7 + shift; uu <= umax; uu += 7.0) {
          cairo_rectangle(cr, uu, vv, 7.0, 4.0);
          const double k = rng.Range(-1, 1);
          cairo_set_source_rgba(cr, k > 0 ? 1 : 0, k > 0 ? 1 : 0, k > 0 ? 1 : 0.05, std::abs(k) * 0.07);
          cairo_fill(cr);
          cairo_set_line_width(cr, 0.7);
          cairo_set_source_rgba(cr, 0.05, 0.07, 0.1, 0.35);
          cairo_move_to(cr, uu, vv);
          cairo_line_to(cr, uu, vv + 4.0);
          cairo_stroke(cr);
        }
        cairo_set_line_width(cr, 0.9);
        cairo_set_source_rgba(cr, 0.04, 0.05, 0.08, 0.45);
        cairo_move_to(cr, umin, vv);
        cairo_line_to(cr, umax, vv);
        cairo_stroke(cr);
      }
      break;
    }
    case TRoofKind::Tin: {
      for (double uu = std::floor(umin / 7.0) * 7.0; uu <= umax; uu += 7.0) {
        cairo_set_line_width(cr, 1.0);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.40);
        cairo_move_to(cr, uu, vmin);
        cairo_line_to(cr, uu, vmax);
        cairo_stroke(cr);
        cairo_set_line_width(cr, 0.9);
        cairo_set_source_rgba(cr, 0.1, 0.15, 0.2, 0.30);
        cairo_move_to(cr, uu + 1.1, vmin);
        cairo_line_to(cr, uu + 1.1, vmax);
        cairo_stroke(cr);
      }
      // Sheet ends and a little rust.
      for (double vv = std::floor(vmin / 24) * 24 + 12; vv <= vmax; vv += 24) {
        cairo_set_line_width(cr, 0.7);
        cairo_set_source_rgba(cr, 0.1, 0.12, 0.15, 0.25);
        cairo_move_to(cr, umin, vv);
        cairo_line_to(cr, umax, vv);
        cairo_stroke(cr);
      }
      for (int i = 0; i < static_cast<int>((umax - umin) * (vmax - vmin) / 500); ++i) {
        const double uu = rng.Range(umin, umax), vv = rng.Range(vmin, vmax);
        cairo_pattern_t* rust = RadialGradient(uu, vv, 0, rng.Range(2, 5), {{0, 0x8a4a25, 0.35}, {1, 0x8a4a25, 0}});
        cairo_set_source(cr, rust);
        cairo_paint(cr);
        cairo_pattern_destroy(rust);
      }
      break;
    }
    case TRoofKind::Felt: break;
  }
  cairo_restore(cr);

  // The facet's edge.
  cairo_save(cr);
  PathPolygon(cr, outline);
  cairo_set_line_width(cr, 1.0);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_source_rgba(cr, 0.05, 0.03, 0.02, 0.35);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void RidgeLine(cairo_t* cr, TPoint a, TPoint b, TRoofKind kind) {
  const TRoofLook look = LookOf(kind);
  cairo_save(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  SetColour(cr, look.Ridge);
  cairo_set_line_width(cr, 3.0);
  cairo_move_to(cr, a.X, a.Y);
  cairo_line_to(cr, b.X, b.Y);
  cairo_stroke(cr);
  // The ridge cap's lit side.
  SetColour(cr, look.RidgeLight, 0.8);
  cairo_set_line_width(cr, 1.0);
  cairo_move_to(cr, a.X - 0.6, a.Y - 0.6);
  cairo_line_to(cr, b.X - 0.6, b.Y - 0.6);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void HipRoof(cairo_t* cr, double x0, double y0, double x1, double y1, TRoofKind kind, uint32_t seed) {
  const double w = x1 - x0, h = y1 - y0;
  if (w >= h) {
    const double ym = (y0 + y1) / 2, ra = x0 + h / 2, rb = x1 - h / 2;
    RoofFacet(cr, {{x0, y0}, {x1, y0}, {rb, ym}, {ra, ym}}, {0, -1}, kind, seed);
    RoofFacet(cr, {{ra, ym}, {rb, ym}, {x1, y1}, {x0, y1}}, {0, 1}, kind, seed + 1);
    RoofFacet(cr, {{x0, y0}, {ra, ym}, {x0, y1}}, {-1, 0}, kind, seed + 2);
    RoofFacet(cr, {{x1, y0}, {x1, y1}, {rb, ym}}, {1, 0}, kind, seed + 3);
    RidgeLine(cr, {x0, y0}, {ra, ym}, kind);
    RidgeLine(cr, {x0, y1}, {ra, ym}, kind);
    RidgeLine(cr, {x1, y0}, {rb, ym}, kind);
    RidgeLine(cr, {x1, y1}, {rb, ym}, kind);
    RidgeLine(cr, {ra, ym}, {rb, ym}, kind);
  } else {
    const double xm = (x0 + x1) / 2, ra = y0 + w / 2, rb = y1 - w / 2;
    RoofFacet(cr, {{x0, y0}, {xm, ra}, {xm, rb}, {x0, y1}}, {-1, 0}, kind, seed);
    RoofFacet(cr, {{xm, ra}, {x1, y0}, {x1, y1}, {xm, rb}}, {1, 0}, kind, seed + 1);
    RoofFacet(cr, {{x0, y0}, {x1, y0}, {xm, ra}}, {0, -1}, kind, seed + 2);
    RoofFacet(cr, {{x0, y1}, {xm, rb}, {x1, y1}}, {0, 1}, kind, seed + 3);
    RidgeLine(cr, {x0, y0}, {xm, ra}, kind);
    RidgeLine(cr, {x1, y0}, {xm, ra}, kind);
    RidgeLine(cr, {x0, y1}, {xm, rb}, kind);
    RidgeLine(cr, {x1, y1}, {xm, rb}, kind);
    RidgeLine(cr, {xm, ra}, {xm, rb}, kind);
  }
}

void GableRoof(cairo_t* cr, double x0, double y0, double x1, double y1, bool ridgeAlongX, TRoofKind kind,
               uint32_t seed) {
  if (ridgeAlongX) {
    const double ym = (y0 + y1) / 2;
    RoofFacet(cr, {{x0, y0}, {x1, y0}, {x1, ym}, {x0, ym}}, {0, -1}, kind, seed);
    RoofFacet(cr, {{x0, ym}, {x1, ym}, {x1, y1}, {x0, y1}}, {0, 1}, kind, seed + 1);
    RidgeLine(cr, {x0 + 1, ym}, {x1 - 1, ym}, kind);
  } else {
    const double xm = (x0 + x1) / 2;
    RoofFacet(cr, {{x0, y0}, {xm, y0}, {xm, y1}, {x0, y1}}, {-1, 0}, kind, seed);
    RoofFacet(cr, {{xm, y0}, {x1, y0}, {x1, y1}, {xm, y1}}, {1, 0}, kind, seed + 1);
    RidgeLine(cr, {xm, y0 + 1}, {xm, y1 - 1}, kind);
  }
  // Barge boards along the gable ends.
  cairo_save(cr);
  cairo_set_line_width(cr, 1.4);
  cairo_set_source_rgba(cr, 0.12, 0.08, 0.06, 0.55);
  if (ridgeAlongX) {
    cairo_move_to(cr, x0 + 0.7, y0);
    cairo_line_to(cr, x0 + 0.7, y1);
    cairo_move_to(cr, x1 - 0.7, y0);
    cairo_line_to(cr, x1 - 0.7, y1);
  } else {
    cairo_move_to(cr, x0, y0 + 0.7);
    cairo_line_to(cr, x1, y0 + 0.7);
    cairo_move_to(cr, x0, y1 - 0.7);
    cairo_line_to(cr, x1, y1 - 0.7);
  }
  cairo_stroke(cr);
  cairo_restore(cr);
}

void Chimney(const TCanvas& canvas, double x, double y, double w, double h) {
  DropShadow(canvas, [&](cairo_t* cr) { cairo_rectangle(cr, x, y, w, h); }, 6, 0.4, 1.2);
  cairo_t* cr = canvas.Cr();
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  SetColour(cr, Hex(0x8c4a35));
  cairo_fill(cr);
  // Brick courses on the cap's rim.
  cairo_set_line_width(cr, 0.6);
  cairo_set_source_rgba(cr, 0.2, 0.08, 0.05, 0.5);
  for (double yy = y + 2.5; yy < y + h; yy += 2.5) {
    cairo_move_to(cr, x, yy);
    cairo_line_to(cr, x + w, yy);
  }
  cairo_stroke(cr);
  cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
  cairo_set_line_width(cr, 1.2);
  SetColour(cr, Hex(0xb9b4aa));
  cairo_stroke(cr);
  cairo_rectangle(cr, x + 2, y + 2, w - 4, h - 4);
  SetColour(cr, Hex(0x1e1a18));
  cairo_fill(cr);
  cairo_restore(cr);
}

void Tree(const TCanvas& canvas, double cx, double cy, double r, uint32_t seed, double hue) {
  TRng rng(seed);
  struct TBlob {
    double X, Y, R;
  };
  std::vector<TBlob> blobs;
  blobs.push_back({cx, cy, r * 0.72});
  const int n = 6 + static_cast<int>(rng.Next() % 3);
  for (int i = 0; i < n; ++i) {
    const double a = 2 * kPi * i / n + rng.Range(-0.3, 0.3);
    const double d = r * rng.Range(0.38, 0.5);
    blobs.push_back({cx + std::cos(a) * d, cy + std::sin(a) * d, r * rng.Range(0.42, 0.55)});
  }
  DropShadow(
      canvas,
      [&](cairo_t* cr) {
        for (const TBlob& b : blobs) {
          cairo_new_sub_path(cr);
          cairo_arc(cr, b.X, b.Y, b.R, 0, 2 * kPi);
        }
      },
      r * 0.3 + 2.5, 0.38, 1.8);
  cairo_t* cr = canvas.Cr();
  const TColour dark = Mix(Hex(0x28431f), Hex(0x2c4535), hue), mid = Mix(Hex(0x4f7a30), Hex(0x3f7048), hue),
                light = Mix(Hex(0x8cb556), Hex(0x78a878), hue);
  cairo_save(cr);
  for (const TBlob& b : blobs) {
    cairo_pattern_t* g = cairo_pattern_create_radial(b.X - b.R * 0.35, b.Y - b.R * 0.35, b.R * 0.1, b.X, b.Y, b.R * 1.05);
    cairo_pattern_add_color_stop_rgb(g, 0, light.R, light.G, light.B);
    cairo_pattern_add_color_stop_rgb(g, 0.55, mid.R, mid.G, mid.B);
    cairo_pattern_add_color_stop_rgb(g, 1, dark.R, dark.G, dark.B);
    cairo_set_source(cr, g);
    cairo_arc(cr, b.X, b.Y, b.R, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  // Leaf clusters.
  for (int i = 0; i < static_cast<int>(r * r * 0.5); ++i) {
    const double a = rng.Range(0, 2 * kPi), d = r * std::sqrt(rng.Unit()) * 0.92;
    const double x = cx + std::cos(a) * d, y = cy + std::sin(a) * d;
    const double lit = ((cx - x) + (cy - y)) / (2 * r);  // towards the top-left
    const bool bright = rng.Unit() < 0.45 + lit * 0.6;
    SetColour(cr, bright ? light : dark, bright ? 0.35 : 0.3);
    cairo_arc(cr, x, y, rng.Range(0.8, 1.7), 0, 2 * kPi);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

// ---- Sheets -----------------------------------------------------------------

TSurface CutTile(const TCanvas& canvas, int col, int row) {
  canvas.Flush();
  TSurface s;
  s.Resize(kTile, kTile);
  for (int y = 0; y < kTile; ++y) {
    const uint32_t* from = canvas.Row(row * kTile + y) + col * kTile;
    uint32_t* to = s.Row(y);
    for (int x = 0; x < kTile; ++x) to[x] = from[x] & 0x00FFFFFFu;
  }
  return s;
}

}  // namespace tiles
