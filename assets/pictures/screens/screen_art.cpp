#include "assets/pictures/screens/screen_art.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "gfx/cp1251.h"
#include "gfx/png_write.h"
#include "gfx/surface.h"
#include "gfx/text.h"

using namespace paint;

namespace screen_art {

namespace {

double Smooth(double e0, double e1, double x) {
  const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

struct TRgb {
  double R, G, B;
};
TRgb Rgb(uint32_t c) { return {((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0}; }
TRgb Mix(TRgb a, TRgb b, double t) { return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t}; }
uint32_t Opaque(TRgb c) {
  auto ch = [](double v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return 0xFF000000u | ch(c.R) << 16 | ch(c.G) << 8 | ch(c.B);
}

double BottomBar(const TSteelPanel& p) { return p.BottomBorder > 0 ? p.BottomBorder : p.Border; }

// How far a point lies inside the panel's outline, and the outward normal
// of the edge it is nearest to; the corners are cut at 45 degrees.
struct TEdge {
  double Depth, NX, NY;
};
TEdge NearestEdge(const TSteelPanel& p, double x, double y) {
  const double w = p.Width, h = p.Height, r = std::numbers::sqrt2 / 2, c = p.Chamfer;
  TEdge e{x, -1, 0};
  auto consider = [&](double d, double nx, double ny) {
    if (d < e.Depth) e = {d, nx, ny};
  };
  consider(y, 0, -1);
  consider(w - x, 1, 0);
  consider((x + y - c) * r, -r, -r);
  consider((w - x + y - c) * r, r, -r);
  // A narrow bottom bar is the full bar squeezed: its depth counts in the
  // other bars' units, so its bevels and seam keep their order.
  const double below = (h - y) * p.Border / BottomBar(p);
  consider(below, 0, 1);
  consider((x + below - c) * r, -r, r);
  consider((w - x + below - c) * r, r, r);
  return e;
}

// Light falls from the top left, a little more from the top.
constexpr double kLightX = -0.6, kLightY = -0.8;

TRgb SteelAt(const TSteelPanel& p, const TValueNoise& brush, double x, double y, const TEdge& edge) {
  const double lit = edge.NX * kLightX + edge.NY * kLightY;
  // Outer bevel faces out, inner bevel faces into the panel, flat between.
  const double outer = 1 - Smooth(2.0, 3.2, edge.Depth);
  const double inner = Smooth(p.Border - 2.7, p.Border - 1.5, edge.Depth);
  double shade = 0.42 * lit * (outer - inner);
  // Brushed along the side: long streaks across the bar's length.
  const bool across = std::abs(edge.NY) >= std::abs(edge.NX);
  const double along = across ? x : y, side = across ? y : x;
  shade += 0.09 * (brush.Fbm(along / 40.0, side * 1.3, 3) - 0.5) * 2;
  shade += 0.03 * (HashUnit(static_cast<int>(along / 3), static_cast<int>(side * 2), p.Seed) - 0.5);
  double at1 = p.Glint1At, width1 = p.Glint1Width, at2 = p.Glint2At, width2 = p.Glint2Width;
  if (width1 <= 0) {
    const double span = p.Width * 0.55 + p.Height, k = span / 300.0;
    at1 = 0.23 * span, width1 = 26 * k;
    at2 = 0.77 * span, width2 = 40 * k;
  }
  const double band = x * 0.55 + y;
  shade += 0.16 * std::exp(-std::pow((band - at1) / width1, 2)) + 0.08 * std::exp(-std::pow((band - at2) / width2, 2));
  const double fall = p.ShadeHeight > 0 ? p.ShadeHeight : std::max(124.0, p.Height * 0.8);
  const TRgb base = Mix(Rgb(0xb4bac4), Rgb(0x6c727d), std::min(1.0, y / fall));
  TRgb c = shade >= 0 ? Mix(base, Rgb(0xf6f8fc), std::min(1.0, shade * 1.6))
                      : Mix(base, Rgb(0x1c1f26), std::min(1.0, -shade * 1.5));
  return Mix(Rgb(0x08090d), c, Smooth(0.8, 2.0, edge.Depth));
}

TRgb PanelAt(const TSteelPanel& p, const TCanvas* glass, int gx, int gy, double x, double y) {
  const double u = x - p.Border, v = y - p.Border;
  const double inW = p.Width - 2 * p.Border, inH = p.Height - p.Border - BottomBar(p);
  TRgb c;
  if (glass) {
    const uint32_t g = glass->Row(gy)[gx];
    c = Rgb(g & 0xFFFFFF);
  } else {
    c = Mix(Rgb(0x232a3c), Rgb(0x0e1017), Smooth(0, inH, v));
  }
  const double dx = (u - inW / 2) / (inW * 0.45), dy = (v - p.PoolY) / 30.0;
  if (glass || p.PoolLight > 0) c = Mix(c, Rgb(0x3a4260), (glass ? 0.2 : p.PoolLight) * std::exp(-(dx * dx + dy * dy)));
  // The panel lies below the steel: the top and left edges throw shade on
  // it, the bottom and right ones catch a thin line of light.
  const double shadow = 0.7 * std::exp(-v / 3.0) + 0.5 * std::exp(-u / 3.0);
  c = Mix(c, Rgb(0x000000), std::min(0.85, shadow));
  const double lip = 0.25 * std::exp(-(inH - v) / 1.2) + 0.18 * std::exp(-(inW - u) / 1.2);
  c = Mix(c, Rgb(0x8a94ac), std::min(0.4, lip));
  if (!p.HasWell) return c;
  const TBox& w = p.Well;
  const double outL = w.L - x, outT = w.T - y, outR = x - w.R, outB = y - w.B;
  const double out = std::max({outL, outT, outR, outB});
  if (out < 4 && out > -1) {
    const bool litSide = (outR >= outL && outR >= outT && outR >= outB) || (outB >= outL && outB >= outT && outB >= outR);
    const double t = Smooth(4, 0.5, out);
    c = litSide ? Mix(c, Rgb(0x9aa4ba), 0.55 * t) : Mix(c, Rgb(0x000000), 0.8 * t);
  }
  return c;
}

}  // namespace

void PaintScrew(cairo_t* cr, double x, double y, double slotAngle) {
  SetSource(cr, 0x0c0d11, 0.75);
  cairo_arc(cr, x + 0.3, y + 0.4, 2.7, 0, 2 * std::numbers::pi);
  cairo_fill(cr);
  cairo_pattern_t* head = RadialGradient(x - 0.8, y - 0.9, 0, 2.8, {{0, 0xffffff}, {0.45, 0xc4c9d2}, {1, 0x4e535c}});
  cairo_set_source(cr, head);
  cairo_arc(cr, x, y, 2.1, 0, 2 * std::numbers::pi);
  cairo_fill(cr);
  cairo_pattern_destroy(head);
  SetSource(cr, 0x22252c, 0.9);
  cairo_set_line_width(cr, 0.8);
  cairo_move_to(cr, x - 1.7 * std::cos(slotAngle), y - 1.7 * std::sin(slotAngle));
  cairo_line_to(cr, x + 1.7 * std::cos(slotAngle), y + 1.7 * std::sin(slotAngle));
  cairo_stroke(cr);
}

void PaintSteelPanel(const TCanvas& canvas, const TSteelPanel& p, int left, int top, const TCanvas* glass) {
  // The panel is painted on a layer of its own so the grain stays on it.
  TCanvas layer(p.Width, p.Height);
  const TValueNoise brush(p.Seed);
  if (glass) glass->Flush();
  layer.Flush();
  for (int py = 0; py < p.Height; ++py) {
    uint32_t* row = layer.Row(py);
    for (int px = 0; px < p.Width; ++px) {
      const double x = px + 0.5, y = py + 0.5;
      const TEdge edge = NearestEdge(p, x, y);
      if (edge.Depth <= 0) {
        row[px] = 0;
        continue;
      }
      const double seam = std::exp(-std::pow((edge.Depth - p.Border) / 0.7, 2));
      const int gx = std::clamp(left + px, 0, canvas.Width() - 1), gy = std::clamp(top + py, 0, canvas.Height() - 1);
      TRgb colour = edge.Depth < p.Border ? SteelAt(p, brush, x, y, edge) : PanelAt(p, glass, gx, gy, x, y);
      colour = Mix(colour, Rgb(0x050608), 0.7 * seam);
      if (!p.SoftOutline) {
        row[px] = Opaque(colour);
        continue;
      }
      // Antialias the outline: the outermost pixel is covered by its depth.
      const double cover = std::clamp(edge.Depth, 0.0, 1.0);
      const uint32_t o = Opaque(colour);
      const uint32_t a = static_cast<uint32_t>(std::lround(cover * 255));
      auto pre = [&](int s) { return (((o >> s) & 0xFF) * a / 255) << s; };
      row[px] = a << 24 | pre(16) | pre(8) | pre(0);
    }
  }
  layer.MarkDirty();
  AddGrain(layer, 0.025, p.Seed + 1);
  const double s = p.ScrewInset > 0 ? p.ScrewInset : p.Border * 0.6;
  PaintScrew(layer.Cr(), s, s, 0.5);
  PaintScrew(layer.Cr(), p.Width - s, s, 2.1);
  // A narrow bottom bar has no room for screws.
  if (BottomBar(p) >= p.Border) {
    PaintScrew(layer.Cr(), s, p.Height - s, 1.2);
    PaintScrew(layer.Cr(), p.Width - s, p.Height - s, 2.7);
  }
  cairo_t* cr = canvas.Cr();
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_set_source_surface(cr, layer.Surface(), left, top);
  cairo_paint(cr);
  cairo_restore(cr);
}

void RoundedRect(cairo_t* cr, double l, double t, double r, double b, double radius) {
  const double pi = std::numbers::pi;
  cairo_new_sub_path(cr);
  cairo_arc(cr, r - radius, t + radius, radius, -pi / 2, 0);
  cairo_arc(cr, r - radius, b - radius, radius, 0, pi / 2);
  cairo_arc(cr, l + radius, b - radius, radius, pi / 2, pi);
  cairo_arc(cr, l + radius, t + radius, radius, pi, 3 * pi / 2);
  cairo_close_path(cr);
}

void Disc(cairo_t* cr, double cx, double cy, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * std::numbers::pi);
}

TBox PaintInsetBox(const TCanvas& c, TBox o, double radius, double rim) {
  cairo_t* cr = c.Cr();
  // The box's lip catches the light along its lower edge, and the panel
  // above it throws shade into it.
  cairo_pattern_t* ring = LinearGradient(0, o.T, 0, o.B, {{0, 0x0a0b10}, {0.5, 0x3a404c}, {1, 0x9aa2b2}});
  cairo_set_source(cr, ring);
  RoundedRect(cr, o.L, o.T, o.R, o.B, radius);
  cairo_fill(cr);
  cairo_pattern_destroy(ring);
  cairo_pattern_t* steel = LinearGradient(o.L, o.T, o.R * 0.3 + o.L * 0.7, o.B,
                                          {{0, 0x474d58}, {0.5, 0x7e8591}, {1, 0xc2c8d2}});
  cairo_set_source(cr, steel);
  RoundedRect(cr, o.L + 1, o.T + 1, o.R - 1, o.B - 1, radius - 1);
  cairo_fill(cr);
  cairo_pattern_destroy(steel);
  const TBox f{o.L + rim, o.T + rim, o.R - rim, o.B - rim};
  const double fr = std::max(1.0, radius - rim + 1);
  SetSource(cr, 0x030305);
  RoundedRect(cr, f.L - 1, f.T - 1, f.R + 1, f.B + 1, fr + 1);
  cairo_fill(cr);
  cairo_pattern_t* field = LinearGradient(0, f.T, 0, f.B, {{0, 0x05070b}, {0.5, 0x0b0e16}, {1, 0x141a26}});
  cairo_set_source(cr, field);
  RoundedRect(cr, f.L, f.T, f.R, f.B, fr);
  cairo_fill(cr);
  cairo_pattern_destroy(field);
  cairo_save(cr);
  RoundedRect(cr, f.L, f.T, f.R, f.B, fr);
  cairo_clip(cr);
  PaintBlurred(c, 2.5, 1.5, 2.5, 0.8, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    cairo_set_fill_rule(p, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(p, f.L - 20, f.T - 20, f.R - f.L + 40, f.B - f.T + 40);
    RoundedRect(p, f.L, f.T, f.R, f.B, fr);
    cairo_fill(p);
  });
  // A faint reflection of the room on the glass of the field.
  cairo_pattern_t* gloss = LinearGradient(0, f.T, 0, f.B, {{0, 0x8aa0d0, 0.10}, {0.45, 0x8aa0d0, 0.03}, {0.5, 0x8aa0d0, 0}});
  cairo_set_source(cr, gloss);
  cairo_paint(cr);
  cairo_pattern_destroy(gloss);
  cairo_restore(cr);
  return f;
}

TBox PaintRaisedKey(const TCanvas& c, TBox key, bool hovered, const TKeyShade& shade) {
  cairo_t* cr = c.Cr();
  const double l = key.L, t = key.T, r = key.R, b = key.B;
  PaintBlurred(c, shade.ShadowBlur, shade.ShadowDX, shade.ShadowDY, shade.ShadowOpacity, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    RoundedRect(p, l, t, r, b, 6);
    cairo_fill(p);
  });
  if (hovered) {
    PaintBlurred(c, shade.GlowBlur, 0, 0, shade.GlowOpacity, [&](cairo_t* p) {
      SetSource(p, 0xff6a10);
      RoundedRect(p, l, t, r, b, 6);
      cairo_set_line_width(p, 2.5);
      cairo_stroke(p);
    }, CAIRO_OPERATOR_ADD);
  }
  cairo_pattern_t* rim = hovered ? LinearGradient(0, t, 0, b, {{0, 0xfff0d8}, {0.45, 0xd8a070}, {1, 0x6a3a1c}})
                                 : LinearGradient(0, t, 0, b, {{0, 0xe6e9ef}, {0.45, 0xa2a8b3}, {1, 0x484d57}});
  cairo_set_source(cr, rim);
  RoundedRect(cr, l, t, r, b, 6);
  cairo_fill(cr);
  cairo_pattern_destroy(rim);
  const TBox f{l + 2, t + 2, r - 2, b - 2};
  cairo_pattern_t* face = hovered ? LinearGradient(0, f.T, 0, f.B, {{0, 0x3e2214}, {0.5, 0x22120a}, {1, 0x140804}})
                                  : LinearGradient(0, f.T, 0, f.B, {{0, 0x343c52}, {0.5, 0x1e2332}, {1, 0x11141c}});
  cairo_set_source(cr, face);
  RoundedRect(cr, f.L, f.T, f.R, f.B, 4.5);
  cairo_fill(cr);
  cairo_pattern_destroy(face);
  return f;
}

void PaintLabel(const TCanvas& c, const std::string& utf8, const TFontFace& face, double x, double cy,
                uint32_t topRgb, uint32_t bottomRgb, double anchor) {
  cairo_t* cr = c.Cr();
  SelectFont(cr, face);
  const double cap = -MeasureInk(cr, "Н").Y;
  const TInk ink = MeasureInk(cr, utf8);
  const double pen = x - ink.X - ink.Width * anchor, baseline = cy + cap / 2;
  auto path = [&](cairo_t* p) {
    SelectFont(p, face);
    cairo_move_to(p, pen, baseline);
    cairo_text_path(p, utf8.c_str());
  };
  const double weight = std::clamp(face.Size / 14.0, 1.0, 2.5);
  PaintBlurred(c, 0.8 + weight, 0.6 * weight, 1.0 * weight, 0.85, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    path(p);
    cairo_set_line_width(p, weight * 1.2);
    cairo_stroke_preserve(p);
    cairo_fill(p);
  });
  SetSource(cr, 0x07080e, 0.85);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 0.6 + weight * 0.6);
  path(cr);
  cairo_stroke(cr);
  cairo_pattern_t* fill = LinearGradient(0, baseline - cap, 0, baseline, {{0, topRgb}, {1, bottomRgb}});
  cairo_set_source(cr, fill);
  path(cr);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);
}

void CropPadded(const TCanvas& from, int x, int y, const TCanvas& to) {
  cairo_t* cr = to.Cr();
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, from.Surface(), -x, -y);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_paint(cr);
  cairo_restore(cr);
}

void PaintFrostedScene(const TCanvas& scene, const TCanvas& glass, int x, int y, int width, int height,
                       std::initializer_list<TStop> smoke) {
  constexpr int kMargin = 40;
  TCanvas wide(width + 2 * kMargin, height + 2 * kMargin);
  CropPadded(scene, x - kMargin, y - kMargin, wide);
  Blur(wide.Surface(), 7);
  cairo_t* wc = wide.Cr();
  cairo_pattern_t* gradient = LinearGradient(0, kMargin, 0, kMargin + height, smoke);
  cairo_set_source(wc, gradient);
  cairo_paint(wc);
  cairo_pattern_destroy(gradient);
  cairo_t* gc = glass.Cr();
  cairo_set_source_surface(gc, wide.Surface(), x - kMargin, y - kMargin);
  cairo_paint(gc);
}

TSurface SideBySide(const TSurface* looks, int count) {
  TSurface sheet;
  const int w = looks[0].Width, h = looks[0].Height;
  sheet.Resize(w * count, h);
  for (int i = 0; i < count; ++i) {
    if (looks[i].Width != w || looks[i].Height != h) throw std::runtime_error("pattern looks differ in size");
    for (int y = 0; y < h; ++y) std::copy(looks[i].Row(y), looks[i].Row(y) + w, sheet.Row(y) + i * w);
  }
  return sheet;
}

// ---- Previews ---------------------------------------------------------------

void PaintRaceStandIn(const TCanvas& c) {
  cairo_t* cr = c.Cr();
  SetSource(cr, 0x44573a);
  cairo_paint(cr);
  SetSource(cr, 0x8a857c);
  cairo_rectangle(cr, 70, 0, 470, 592);
  cairo_fill(cr);
  SetSource(cr, 0xc8c6c0);
  cairo_rectangle(cr, 100, 0, 410, 592);
  cairo_fill(cr);
  SetSource(cr, 0x3b3e45);
  cairo_rectangle(cr, 106, 0, 398, 592);
  cairo_fill(cr);
  SetSource(cr, 0xf0f0f0);
  for (int lane = 1; lane < 4; ++lane)
    for (int y = -20; y < 592; y += 72) {
      cairo_rectangle(cr, 106 + lane * 99.5 - 2, y, 4, 36);
      cairo_fill(cr);
    }
  SetSource(cr, 0x1c1e24);
  cairo_rectangle(cr, 610, 0, 182, 592);
  cairo_fill(cr);
  AddGrain(c, 0.03, 7);
}

TScreenPage::TScreenPage() {
  BackSurface.Resize(SurfaceWidth, SurfaceHeight);
  FillSurface(BackSurface, 0);
}

void TScreenPage::Draw(const TImageItems& items, const std::string& name, int pattern, int x, int y) {
  FindPicture(items, name).Draw(BackSurface, x, y, pattern);
}

void TScreenPage::DrawCentred(const TImageItems& items, const std::string& name, int cx, int cy) {
  const TPictureCollectionItem& item = FindPicture(items, name);
  item.Draw(BackSurface, cx - item.Width() / 2, cy - item.Height() / 2, 0);
}

void TScreenPage::Text(int style, const std::string& utf8, double x, double y, bool centreH, bool centreV) {
  SetTextStyle(style);
  DrawText(Cp1251FromUtf8(utf8), x, y, centreH, centreV);
}

void TScreenPage::Save(const std::string& path) const {
  if (!WritePng(path, BackSurface)) throw std::runtime_error("cannot write " + path);
}

}  // namespace screen_art
