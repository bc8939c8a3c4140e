// The walled block (a yard fenced by brick walls on two sides and a row of
// brick garages on the other two) and the 3 x 3 house. The solid parts of
// the walled block are drawn exactly over their obstacle rectangles: the
// top wall fills y 58..72 of its tile, the left wall x 65..72 and y 0..68,
// and each garage (bottom, corner and right pieces) x 0..64 and y 0..64,
// its shadow falling into the strip of lawn left over.
#include <cmath>

#include "assets/paint/paint.h"
#include "assets/pictures/town/tile_paint.h"
#include "assets/pictures/town/tile_parts.h"

using namespace paint;

namespace tiles {

namespace {

// Brickwork seen from above at a slant: courses along the wall.
void BrickArea(cairo_t* cr, double x, double y, double w, double h, bool alongX, uint32_t seed) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  SetColour(cr, Hex(0x9a4d36));
  cairo_paint(cr);
  TRng rng(seed);
  const double course = 3.0, brick = 8.0;
  const double length = alongX ? w : h, depth = alongX ? h : w;
  for (int row = 0; row * course < depth; ++row) {
    for (double s = -(row % 2) * brick / 2; s < length; s += brick) {
      const double bx = alongX ? x + s : x + row * course, by = alongX ? y + row * course : y + s;
      const double bw = alongX ? brick - 0.8 : course - 0.8, bh = alongX ? course - 0.8 : brick - 0.8;
      cairo_rectangle(cr, bx, by, bw, bh);
      const double k = rng.Range(-1, 1);
      SetColour(cr, k > 0 ? Hex(0xb8654a) : Hex(0x7a3526), std::abs(k) * 0.5);
      cairo_fill(cr);
    }
  }
  // Mortar shows as the darker background between the bricks.
  cairo_restore(cr);
}

// A concrete coping strip on top of a wall.
void Coping(cairo_t* cr, double x, double y, double w, double h, bool alongX) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_pattern_t* g = alongX ? LinearGradient(0, y, 0, y + h, {{0, 0xe2ddd2}, {0.5, 0xc9c3b7}, {1, 0x9d978b}})
                              : LinearGradient(x, 0, x + w, 0, {{0, 0xe2ddd2}, {0.5, 0xc9c3b7}, {1, 0x9d978b}});
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 0.8);
  cairo_set_source_rgba(cr, 0.25, 0.23, 0.2, 0.5);
  const double length = alongX ? w : h;
  for (double s = 12; s < length; s += 24) {
    if (alongX) {
      cairo_move_to(cr, x + s, y);
      cairo_line_to(cr, x + s, y + h);
    } else {
      cairo_move_to(cr, x, y + s);
      cairo_line_to(cr, x + w, y + s);
    }
  }
  cairo_stroke(cr);
  cairo_restore(cr);
}

// ---- 40: the block's top wall along the bottom of its tile ------------------

TSurface TopWall() {
  TCanvas c(kTile, kTile);
  PaintLawn(c);
  cairo_t* cr = c.Cr();
  // Its shadow on the yard below fades out before the tile ends, so the
  // yard tile under it needs none.
  cairo_pattern_t* shade = LinearGradient(0, 69, 0, 72, {{0, 0x000000, 0.38}, {1, 0x000000, 0.04}});
  cairo_rectangle(cr, 0, 69, kTile, 3);
  cairo_set_source(cr, shade);
  cairo_fill(cr);
  cairo_pattern_destroy(shade);
  BrickArea(cr, 0, 58, kTile, 12, true, 0x57414c31u);
  Coping(cr, 0, 61.5, kTile, 5, true);
  // Piers with pyramid caps.
  for (double px : {14.0, 50.0}) {
    DropShadow(c, [&](cairo_t* k) { cairo_rectangle(k, px, 58, 9, 12); }, 1.5, 0.35, 0.6);
    BrickArea(cr, px, 58, 9, 12, false, 0x57414c32u + static_cast<uint32_t>(px));
    const double cx = px + 4.5, cy = 64;
    const TPoint a{px + 0.5, 58.5}, b{px + 8.5, 58.5}, d{px + 8.5, 69.5}, e{px + 0.5, 69.5}, m{cx, cy};
    const uint32_t shades[4] = {0xe8e3d8, 0xb8b2a6, 0x8f897e, 0xcfc9bd};
    const TPoint corners[5] = {a, b, d, e, a};
    for (int i = 0; i < 4; ++i) {
      PathPolygon(cr, {corners[i], corners[i + 1], m});
      SetColour(cr, Hex(shades[i]));
      cairo_fill(cr);
    }
  }
  return CutTile(c, 0, 0);
}

// ---- 41: the block's left wall along the right edge of its tile -------------

TSurface LeftWall() {
  TCanvas c(kTile, kTile);
  PaintLawn(c);
  cairo_t* cr = c.Cr();
  BrickArea(cr, 65, 0, 7, 68, false, 0x57414c33u);
  Coping(cr, 66.5, 0, 3.5, 68, false);
  // The end of this length of wall and the gap to the next one.
  cairo_rectangle(cr, 65, 68, 7, 4);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
  cairo_fill(cr);
  cairo_rectangle(cr, 65, 67, 7, 1);
  SetColour(cr, Hex(0x6a3022));
  cairo_fill(cr);
  return CutTile(c, 0, 0);
}

// ---- 42, 43, 44: brick garages, 64 x 64 at the tile's top-left --------------

TSurface Garage(bool seamsAlongX, int variant) {
  TCanvas c(kTile, kTile);
  PaintLawn(c);
  constexpr double kSize = 64;
  DropShadow(c, [&](cairo_t* k) { cairo_rectangle(k, 0, 0, kSize, kSize); }, 4.5, 0.38, 1.0);
  cairo_t* cr = c.Cr();
  // Parapet of brick with its coping, roofing felt inside.
  BrickArea(cr, 0, 0, kSize, kSize, true, 0x47415231u + variant);
  const double p = 4;
  cairo_rectangle(cr, p, p, kSize - 2 * p, kSize - 2 * p);
  SetColour(cr, Hex(0x4a4643));
  cairo_fill(cr);
  cairo_save(cr);
  cairo_rectangle(cr, p, p, kSize - 2 * p, kSize - 2 * p);
  cairo_clip(cr);
  TRng rng(0x464c5431u + variant);
  // Rolls of felt overlapping, a few patches of fresh bitumen.
  for (double s = p + 9; s < kSize - p; s += 10) {
    cairo_set_line_width(cr, 1.2);
    cairo_set_source_rgba(cr, 0.1, 0.09, 0.08, 0.55);
    if (seamsAlongX) {
      cairo_move_to(cr, 0, s);
      cairo_line_to(cr, kSize, s);
    } else {
      cairo_move_to(cr, s, 0);
      cairo_line_to(cr, s, kSize);
    }
    cairo_stroke(cr);
    cairo_set_line_width(cr, 0.8);
    cairo_set_source_rgba(cr, 0.8, 0.78, 0.75, 0.12);
    if (seamsAlongX) {
      cairo_move_to(cr, 0, s + 1.2);
      cairo_line_to(cr, kSize, s + 1.2);
    } else {
      cairo_move_to(cr, s + 1.2, 0);
      cairo_line_to(cr, s + 1.2, kSize);
    }
    cairo_stroke(cr);
  }
  for (int i = 0; i < 3; ++i) {
    RoundedRect(cr, rng.Range(p, kSize - 20), rng.Range(p, kSize - 16), rng.Range(8, 16), rng.Range(6, 12), 3);
    cairo_set_source_rgba(cr, 0.1, 0.1, 0.11, 0.35);
    cairo_fill(cr);
  }
  cairo_restore(cr);
  // Inner shadow of the parapet on the roof (light from the top-left).
  cairo_rectangle(cr, p, p, kSize - 2 * p, 2.5);
  cairo_rectangle(cr, p, p + 2.5, 2.5, kSize - 2 * p - 2.5);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.3);
  cairo_fill(cr);
  // Coping along the top of the parapet.
  cairo_set_line_width(cr, 1.6);
  cairo_rectangle(cr, 2, 2, kSize - 4, kSize - 4);
  SetColour(cr, Hex(0xcdc7bb));
  cairo_stroke(cr);
  cairo_set_line_width(cr, 0.7);
  cairo_rectangle(cr, 0.35, 0.35, kSize - 0.7, kSize - 0.7);
  SetColour(cr, Hex(0x5e2a1e));
  cairo_stroke(cr);
  // A vent pipe.
  const double vx = variant == 1 ? 46 : 18, vy = variant == 2 ? 46 : 20;
  DropShadow(c, [&](cairo_t* k) { cairo_arc(k, vx, vy, 2.8, 0, 2 * kPi); }, 3, 0.4, 0.8);
  cairo_pattern_t* g = RadialGradient(vx - 1, vy - 1, 0, 3.2, {{0, 0xd4d8da}, {1, 0x6b7175}});
  cairo_arc(cr, vx, vy, 2.8, 0, 2 * kPi);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_arc(cr, vx, vy, 1.3, 0, 2 * kPi);
  SetColour(cr, Hex(0x202020));
  cairo_fill(cr);
  return CutTile(c, 0, 0);
}

// ---- 49..57: the house ------------------------------------------------------

void House(TTileSlots& slots) {
  TCanvas c(3 * kTile, 3 * kTile);
  PaintLawn(c);
  cairo_t* cr = c.Cr();

  // Main block (hipped), rear wing (gabled), flat-roofed annex.
  const double mx0 = 14, my0 = 16, mx1 = 192, my1 = 114;
  const double wx0 = 30, wy0 = 104, wx1 = 100, wy1 = 194;
  const double ax0 = 116, ay0 = 122, ax1 = 186, ay1 = 178;
  DropShadow(c, [&](cairo_t* k) {
    cairo_rectangle(k, mx0, my0, mx1 - mx0, my1 - my0);
    cairo_rectangle(k, wx0, wy0, wx1 - wx0, wy1 - wy0);
    cairo_rectangle(k, ax0, ay0, ax1 - ax0, ay1 - ay0);
  }, 6, 0.38, 1.8);

  // Annex: felt roof behind a low parapet.
  cairo_rectangle(cr, ax0, ay0, ax1 - ax0, ay1 - ay0);
  SetColour(cr, Hex(0x8c8a86));
  cairo_fill(cr);
  cairo_rectangle(cr, ax0 + 3, ay0 + 3, ax1 - ax0 - 6, ay1 - ay0 - 6);
  SetColour(cr, Hex(0x545150));
  cairo_fill(cr);
  cairo_rectangle(cr, ax0 + 3, ay0 + 3, ax1 - ax0 - 6, 2);
  cairo_rectangle(cr, ax0 + 3, ay0 + 5, 2, ay1 - ay0 - 8);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.3);
  cairo_fill(cr);
  cairo_set_line_width(cr, 0.9);
  cairo_set_source_rgba(cr, 0.1, 0.1, 0.1, 0.4);
  for (double x = ax0 + 13; x < ax1 - 3; x += 10) {
    cairo_move_to(cr, x, ay0 + 3);
    cairo_line_to(cr, x, ay1 - 3);
  }
  cairo_stroke(cr);
  // A skylight on the annex.
  cairo_rectangle(cr, 150, 140, 20, 14);
  cairo_pattern_t* glass = LinearGradient(150, 140, 170, 154, {{0, 0xc4dbe3}, {1, 0x4e7486}});
  cairo_set_source(cr, glass);
  cairo_fill(cr);
  cairo_pattern_destroy(glass);
  cairo_rectangle(cr, 150.5, 140.5, 19, 13);
  cairo_set_line_width(cr, 1.2);
  SetColour(cr, Hex(0xd8d4cc));
  cairo_stroke(cr);

  GableRoof(cr, wx0, wy0, wx1, wy1, false, TRoofKind::Terracotta, 0x484f5531u);
  // The main roof casts a little shadow onto the wing below it.
  cairo_rectangle(cr, wx0, my1, wx1 - wx0, 5);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.28);
  cairo_fill(cr);
  HipRoof(cr, mx0, my0, mx1, my1, TRoofKind::Terracotta, 0x484f5532u);

  // Dormers on the front slope, chimneys.
  for (double dx : {60.0, 130.0}) {
    DropShadow(c, [&](cairo_t* k) { cairo_rectangle(k, dx, 22, 18, 20); }, 3, 0.38, 0.9);
    GableRoof(cr, dx, 22, dx + 18, 42, false, TRoofKind::Terracotta, 0x444f5231u + static_cast<uint32_t>(dx));
  }
  Chimney(c, 44, 70, 10, 12);
  Chimney(c, 150, 62, 10, 12);

  // Garden: trees and shrubs in the lawn left free.
  Tree(c, 150, 198, 9, 0x48545231u, 0.3);
  Tree(c, 196, 196, 7, 0x48545232u, 0.7);
  Tree(c, 118, 196, 6, 0x48545233u, 0.5);
  Tree(c, 14, 196, 6, 0x48545234u, 0.6);
  Tree(c, 200, 140, 6, 0x48545235u, 0.2);

  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) slots[49 + row * 3 + col] = CutTile(c, col, row);
}

}  // namespace

void PaintBuildingTiles(TTileSlots& slots) {
  slots[40] = TopWall();
  slots[41] = LeftWall();
  slots[42] = Garage(false, 0);
  slots[43] = Garage(true, 1);
  slots[44] = Garage(true, 2);
  House(slots);
}

}  // namespace tiles
