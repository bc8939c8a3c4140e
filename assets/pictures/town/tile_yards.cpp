// Plain ground, the plaza decorations, the roadside obstacles beside the
// sidewalks and the 2 x 2 objects that fill the town's free ground. Each
// object and its shadow keep to their own tiles, with a margin of lawn
// (or paving) at every outer edge, so they stand next to anything.
#include <algorithm>
#include <cmath>
#include <vector>

#include "assets/paint/paint.h"
#include "assets/pictures/town/tile_paint.h"
#include "assets/pictures/town/tile_parts.h"

using namespace paint;

namespace tiles {

namespace {

void PaintPlaza(const TCanvas& c, uint32_t seed) {
  PaintPixels(c, [&](double x, double y) { return PlazaPaving(x, y, seed); });
}

// A round stone rim around a bed or basin, lit from the top-left.
void StoneRing(cairo_t* cr, double cx, double cy, double r, double width) {
  cairo_save(cr);
  cairo_set_line_width(cr, width);
  cairo_arc(cr, cx, cy, r - width / 2, 0, 2 * kPi);
  cairo_pattern_t* g = LinearGradient(cx - r, cy - r, cx + r, cy + r, {{0, 0xe4ded2}, {0.5, 0xc4bdb0}, {1, 0x8f887c}});
  cairo_set_source(cr, g);
  cairo_stroke(cr);
  cairo_pattern_destroy(g);
  // Joints between the rim stones.
  cairo_set_line_width(cr, 0.8);
  cairo_set_source_rgba(cr, 0.3, 0.28, 0.25, 0.5);
  for (int i = 0; i < 12; ++i) {
    const double a = 2 * kPi * i / 12 + 0.13;
    cairo_move_to(cr, cx + std::cos(a) * (r - width), cy + std::sin(a) * (r - width));
    cairo_line_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
  }
  cairo_stroke(cr);
  cairo_restore(cr);
}

// ---- 30: flower bed ---------------------------------------------------------

TSurface FlowerBed() {
  TCanvas c(kTile, kTile);
  PaintPlaza(c, 30);
  const double cx = 36, cy = 35, r = 25;
  DropShadow(c, [&](cairo_t* cr) { cairo_arc(cr, cx, cy, r, 0, 2 * kPi); }, 4, 0.35, 1.4);
  cairo_t* cr = c.Cr();
  cairo_pattern_t* soil = RadialGradient(cx - 4, cy - 4, 0, r, {{0, 0x5a3f2a}, {1, 0x3a281b}});
  cairo_arc(cr, cx, cy, r - 3, 0, 2 * kPi);
  cairo_set_source(cr, soil);
  cairo_fill(cr);
  cairo_pattern_destroy(soil);
  TRng rng(0x464c4f57u);
  // Foliage first, then blossoms in rings: red outside, yellow, white heart.
  for (int i = 0; i < 140; ++i) {
    const double a = rng.Range(0, 2 * kPi), d = std::sqrt(rng.Unit()) * (r - 5);
    SetColour(cr, rng.Unit() < 0.5 ? Hex(0x3f6d2c) : Hex(0x5f8f3c), 0.9);
    cairo_arc(cr, cx + std::cos(a) * d, cy + std::sin(a) * d, rng.Range(1.4, 2.6), 0, 2 * kPi);
    cairo_fill(cr);
  }
  struct TRingOf {
    double From, To;
    uint32_t Colour, Light;
    int Count;
  };
  const TRingOf rings[] = {{14, 20.5, 0xc8283a, 0xf06070, 70}, {7, 13, 0xf0c030, 0xfff0a0, 42}, {0, 6, 0xf4f0ea, 0xffffff, 16}};
  for (const TRingOf& ring : rings)
    for (int i = 0; i < ring.Count; ++i) {
      const double a = rng.Range(0, 2 * kPi), d = rng.Range(ring.From, ring.To);
      const double x = cx + std::cos(a) * d, y = cy + std::sin(a) * d;
      SetColour(cr, Hex(ring.Colour));
      cairo_arc(cr, x, y, 1.5, 0, 2 * kPi);
      cairo_fill(cr);
      SetColour(cr, Hex(ring.Light), 0.8);
      cairo_arc(cr, x - 0.5, y - 0.5, 0.7, 0, 2 * kPi);
      cairo_fill(cr);
    }
  StoneRing(cr, cx, cy, r, 3.5);
  return CutTile(c, 0, 0);
}

// ---- 31: fountain -----------------------------------------------------------

TSurface Fountain() {
  TCanvas c(kTile, kTile);
  PaintPlaza(c, 31);
  const double cx = 36, cy = 35, r = 26;
  DropShadow(c, [&](cairo_t* cr) { cairo_arc(cr, cx, cy, r, 0, 2 * kPi); }, 4, 0.35, 1.4);
  cairo_t* cr = c.Cr();
  cairo_pattern_t* water = RadialGradient(cx + 3, cy + 3, 2, r, {{0, 0x8cc3d8}, {0.6, 0x4f8fae}, {1, 0x2f6582}});
  cairo_arc(cr, cx, cy, r - 3, 0, 2 * kPi);
  cairo_set_source(cr, water);
  cairo_fill(cr);
  cairo_pattern_destroy(water);
  // Ripples spreading from the jet.
  cairo_set_line_width(cr, 0.9);
  for (double rr = 8; rr < r - 4; rr += 3.2) {
    cairo_arc(cr, cx, cy, rr, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 0.9, 0.97, 1, 0.22 - rr * 0.005);
    cairo_stroke(cr);
  }
  // The shadow of the rim on the water, bottom-right of the inner edge.
  cairo_save(cr);
  cairo_arc(cr, cx, cy, r - 3, 0, 2 * kPi);
  cairo_clip(cr);
  cairo_set_line_width(cr, 3);
  cairo_arc(cr, cx - 2, cy - 2, r - 2, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 0, 0.05, 0.1, 0.3);
  cairo_stroke(cr);
  cairo_restore(cr);
  StoneRing(cr, cx, cy, r, 4);
  // Pedestal and spray.
  DropShadow(c, [&](cairo_t* k) { cairo_arc(k, cx, cy, 6, 0, 2 * kPi); }, 3, 0.35, 1);
  cairo_pattern_t* stone = RadialGradient(cx - 2, cy - 2, 0, 6.5, {{0, 0xf0ebe0}, {1, 0x9a9385}});
  cairo_arc(cr, cx, cy, 6, 0, 2 * kPi);
  cairo_set_source(cr, stone);
  cairo_fill(cr);
  cairo_pattern_destroy(stone);
  TRng rng(0x4a455431u);
  for (int i = 0; i < 60; ++i) {
    const double a = rng.Range(0, 2 * kPi), d = rng.Range(2, 11);
    cairo_arc(cr, cx + std::cos(a) * d, cy + std::sin(a) * d, rng.Range(0.4, 1.0), 0, 2 * kPi);
    cairo_set_source_rgba(cr, 1, 1, 1, rng.Range(0.4, 0.9));
    cairo_fill(cr);
  }
  cairo_pattern_t* mist = RadialGradient(cx, cy, 0, 5, {{0, 0xffffff, 0.95}, {1, 0xffffff, 0.0}});
  cairo_arc(cr, cx, cy, 5, 0, 2 * kPi);
  cairo_set_source(cr, mist);
  cairo_fill(cr);
  cairo_pattern_destroy(mist);
  return CutTile(c, 0, 0);
}

// ---- 32: bench group --------------------------------------------------------

// A park bench seen from above, seat along its local x axis.
void Bench(const TCanvas& c, double cx, double cy, double angle) {
  const double w = 24, h = 8;
  auto outline = [&](cairo_t* cr) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    cairo_rectangle(cr, -w / 2, -h / 2, w, h);
    cairo_restore(cr);
  };
  DropShadow(c, outline, 3, 0.38, 1.0);
  cairo_t* cr = c.Cr();
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, angle);
  // Cast-iron ends.
  SetColour(cr, Hex(0x2b2d30));
  cairo_rectangle(cr, -w / 2, -h / 2 - 0.5, 2.5, h + 1);
  cairo_rectangle(cr, w / 2 - 2.5, -h / 2 - 0.5, 2.5, h + 1);
  cairo_fill(cr);
  // Slats.
  for (int i = 0; i < 3; ++i) {
    const double y = -h / 2 + 0.4 + i * (h / 3);
    cairo_rectangle(cr, -w / 2 + 1.5, y, w - 3, h / 3 - 0.8);
    cairo_pattern_t* g = LinearGradient(0, y, 0, y + h / 3, {{0, 0xb07a48}, {1, 0x7a4e2c}});
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  cairo_restore(cr);
}

TSurface BenchGroup() {
  TCanvas c(kTile, kTile);
  PaintPlaza(c, 32);
  const double cx = 36, cy = 36;
  // A round planter with a small tree in the middle, benches facing it.
  DropShadow(c, [&](cairo_t* cr) { cairo_arc(cr, cx, cy, 10, 0, 2 * kPi); }, 3, 0.35, 1.2);
  cairo_t* cr = c.Cr();
  cairo_arc(cr, cx, cy, 9, 0, 2 * kPi);
  SetColour(cr, Hex(0x4a3322));
  cairo_fill(cr);
  StoneRing(cr, cx, cy, 10, 2.5);
  Bench(c, cx, cy - 22, 0);
  Bench(c, cx, cy + 22, 0);
  Bench(c, cx - 22, cy, kPi / 2);
  Bench(c, cx + 22, cy, kPi / 2);
  Tree(c, cx, cy, 11, 0x42454e43u, 0.2);
  return CutTile(c, 0, 0);
}

// ---- 39 and 59: bus shelter and kiosk beside the sidewalk -------------------

// A bus shelter's roof, long side along y: frame, three clear panels and an
// advertising box at the far end.
void BusShelter(const TCanvas& c, double x, double y, double w, double h) {
  DropShadow(c, [&](cairo_t* cr) { cairo_rectangle(cr, x, y, w, h); }, 4, 0.35, 1.0);
  cairo_t* cr = c.Cr();
  cairo_save(cr);
  RoundedRect(cr, x, y, w, h, 1.5);
  SetColour(cr, Hex(0x3b434c));
  cairo_fill(cr);
  const double inset = 2.2, box = 9;
  const double panelH = (h - 2 * inset - box - 1.5) / 3;
  for (int i = 0; i < 3; ++i) {
    const double py = y + inset + i * (panelH + 0.75);
    cairo_rectangle(cr, x + inset, py, w - 2 * inset, panelH - 0.75);
    cairo_pattern_t* g = LinearGradient(x, py, x + w, py + panelH, {{0, 0xa9cbd6}, {0.5, 0x7ea6b5}, {1, 0x5f8494}});
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // The bench below shows through the panels.
    cairo_rectangle(cr, x + w - inset - 5, py + 1, 3, panelH - 2.5);
    cairo_set_source_rgba(cr, 0.3, 0.22, 0.15, 0.25);
    cairo_fill(cr);
    cairo_move_to(cr, x + inset + 2, py + panelH - 3);
    cairo_line_to(cr, x + inset + 7, py + 2);
    cairo_set_line_width(cr, 1.2);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.45);
    cairo_stroke(cr);
  }
  // Lit advertising box.
  const double by = y + h - inset - box;
  cairo_rectangle(cr, x + inset, by, w - 2 * inset, box);
  cairo_pattern_t* ad = LinearGradient(x, by, x + w, by, {{0, 0xf6e7a8}, {1, 0xd9b44a}});
  cairo_set_source(cr, ad);
  cairo_fill(cr);
  cairo_pattern_destroy(ad);
  cairo_rectangle(cr, x + inset + 3, by + 3, w - 2 * inset - 6, 3);
  SetColour(cr, Hex(0xb8342c));
  cairo_fill(cr);
  cairo_restore(cr);
}

// A newspaper kiosk: painted metal roof with a rim and a striped awning over
// the sidewalk side (x below `x`), the awning as long as the roof.
void Kiosk(const TCanvas& c, double x, double y, double w, double h) {
  const double awning = 6;
  DropShadow(c, [&](cairo_t* cr) { cairo_rectangle(cr, x - awning, y, w + awning, h); }, 4, 0.35, 1.0);
  cairo_t* cr = c.Cr();
  cairo_save(cr);
  for (int i = 0; static_cast<double>(i) * 4 < h; ++i) {
    cairo_rectangle(cr, x - awning, y + i * 4, awning, std::min(4.0, h - i * 4.0));
    SetColour(cr, i % 2 == 0 ? Hex(0xc8372d) : Hex(0xf2ede4));
    cairo_fill(cr);
  }
  cairo_rectangle(cr, x - awning, y, 1.5, h);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.2);
  cairo_fill(cr);
  RoundedRect(cr, x, y, w, h, 2);
  cairo_pattern_t* roof = LinearGradient(x, y, x + w, y + h, {{0, 0x4f7fb5}, {1, 0x27456e}});
  cairo_set_source(cr, roof);
  cairo_fill(cr);
  cairo_pattern_destroy(roof);
  RoundedRect(cr, x + 2.5, y + 2.5, w - 5, h - 5, 1);
  cairo_set_line_width(cr, 1.2);
  cairo_set_source_rgba(cr, 0.05, 0.08, 0.18, 0.5);
  cairo_stroke(cr);
  // Roof seams and a vent.
  cairo_set_line_width(cr, 0.8);
  for (double yy = y + 10; yy < y + h - 6; yy += 8) {
    cairo_move_to(cr, x + 3, yy);
    cairo_line_to(cr, x + w - 3, yy);
  }
  cairo_set_source_rgba(cr, 1, 1, 1, 0.15);
  cairo_stroke(cr);
  cairo_arc(cr, x + w / 2, y + h * 0.3, 2.5, 0, 2 * kPi);
  SetColour(cr, Hex(0x9aa0a4));
  cairo_fill(cr);
  cairo_restore(cr);
}

// The ground of an obstacle tile: lawn, and a paved pad on the side of the
// sidewalk that the obstacle stands on, from `padFrom` to `padTo`.
void ObstacleGround(const TCanvas& c, double padFrom, double padTo, uint32_t seed) {
  PaintLawn(c);
  TCanvas pad(kTile, kTile);
  PaintPixels(pad, [&](double x, double y) { return SidewalkPaving(x, y, seed); });
  cairo_t* cr = c.Cr();
  cairo_save(cr);
  cairo_rectangle(cr, padFrom, 0, padTo - padFrom, kTile);
  cairo_clip(cr);
  cairo_set_source_surface(cr, pad.Surface(), 0, 0);
  cairo_paint(cr);
  cairo_restore(cr);
  // The pad's edging where it meets the lawn.
  const double edge = padFrom > 0 ? padFrom : padTo;
  cairo_rectangle(cr, edge - 1, 0, 2, kTile);
  SetColour(cr, Hex(0xb5ada0));
  cairo_fill(cr);
}

// ---- 36, 37, 38: L-shaped workshop around the top-right quarter -------------

void LBuilding(TTileSlots& slots) {
  TCanvas c(2 * kTile, 2 * kTile);
  PaintLawn(c);
  const double x0 = 10, y0 = 10, wingX = 58, wingY = 84, x1 = 128, y1 = 126;
  DropShadow(c, [&](cairo_t* cr) {
    PathPolygon(cr, {{x0, y0}, {wingX, y0}, {wingX, wingY}, {x1, wingY}, {x1, y1}, {x0, y1}});
  });
  cairo_t* cr = c.Cr();
  // The lower wing first; the tall wing's eave laps over its end.
  GableRoof(cr, wingX - 2, wingY, x1, y1, true, TRoofKind::Tin, 0x4c313031u);
  cairo_rectangle(cr, wingX, wingY, 5, y1 - wingY);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
  cairo_fill(cr);
  GableRoof(cr, x0, y0, wingX, y1, false, TRoofKind::Tin, 0x4c313032u);
  // Vents and a skylight.
  for (double vy : {30.0, 62.0}) {
    DropShadow(c, [&](cairo_t* k) { cairo_arc(k, 24, vy, 3, 0, 2 * kPi); }, 2.5, 0.35, 0.8);
    cairo_arc(cr, 24, vy, 3, 0, 2 * kPi);
    cairo_pattern_t* g = RadialGradient(23, vy - 1, 0, 3.5, {{0, 0xe6eaec}, {1, 0x7d868c}});
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  cairo_rectangle(cr, 92, 110, 18, 10);
  cairo_pattern_t* glass = LinearGradient(92, 110, 110, 120, {{0, 0xb8d3dc}, {1, 0x55798a}});
  cairo_set_source(cr, glass);
  cairo_fill(cr);
  cairo_pattern_destroy(glass);
  cairo_rectangle(cr, 92.5, 110.5, 17, 9);
  cairo_set_line_width(cr, 1);
  SetColour(cr, Hex(0x50585e));
  cairo_stroke(cr);
  // Shrubs in the lawn of the corner.
  Tree(c, 22, 135, 5.5, 0x53485231u, 0.8);
  Tree(c, 134, 134, 5, 0x53485232u, 0.9);
  slots[36] = CutTile(c, 0, 0);
  slots[37] = CutTile(c, 0, 1);
  slots[38] = CutTile(c, 1, 1);
}

// ---- 45..48: a slate-roofed block, also the inside of the walled block -----

void SlateBlock(TTileSlots& slots) {
  TCanvas c(2 * kTile, 2 * kTile);
  PaintLawn(c);
  const double x0 = 12, y0 = 13, x1 = 126, y1 = 112;
  DropShadow(c, [&](cairo_t* cr) { cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0); });
  cairo_t* cr = c.Cr();
  HipRoof(cr, x0, y0, x1, y1, TRoofKind::Slate, 0x534c5431u);
  Chimney(c, 38, 26, 8, 10);
  Chimney(c, 96, 78, 8, 10);
  // A dormer on the lit side.
  DropShadow(c, [&](cairo_t* k) { cairo_rectangle(k, 62, 20, 16, 14); }, 3, 0.35, 0.8);
  GableRoof(cr, 62, 20, 78, 34, false, TRoofKind::Slate, 0x534c5432u);
  // A hedge along the front.
  for (double x = 18; x < 122; x += 11) Tree(c, x, 127, 5.2, 0x48444731u + static_cast<uint32_t>(x), 0.35);
  slots[45] = CutTile(c, 0, 0);
  slots[46] = CutTile(c, 1, 0);
  slots[47] = CutTile(c, 0, 1);
  slots[48] = CutTile(c, 1, 1);
}

}  // namespace

void PaintYardTiles(TTileSlots& slots) {
  {
    TCanvas c(kTile, kTile);
    PaintLawn(c);
    slots[0] = CutTile(c, 0, 0);
  }
  slots[30] = FlowerBed();
  slots[31] = Fountain();
  slots[32] = BenchGroup();
  // Each fills its tile's solid part, from the sidewalk to x 37 or 35 and
  // the tile's whole height, so the car stops where the roof begins.
  {
    TCanvas c(kTile, kTile);
    ObstacleGround(c, 34, kTile, 39);
    BusShelter(c, 37, 0, 35, kTile);
    slots[39] = CutTile(c, 0, 0);
  }
  {
    TCanvas c(kTile, kTile);
    ObstacleGround(c, 0, 38, 59);
    Kiosk(c, 6, 0, 29, kTile);
    slots[59] = CutTile(c, 0, 0);
  }
  LBuilding(slots);
  SlateBlock(slots);
}

}  // namespace tiles
