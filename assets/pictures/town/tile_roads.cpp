// The road tiles. Every road tile is a window onto one of three scenes: the
// straight four-column road, the road stepping one column right over two
// rows, and its mirror image stepping left. The scenes share one cross
// section (a paving strip, a kerb, asphalt with a solid edge line, dashed
// lane lines on the column boundaries), so tiles of different scenes meet
// wherever the track builder puts them side by side:
//
// - every inner column of a straight road is the same tile, with half a
//   dashed line down each edge; the lane tiles of the wider roads are that
//   tile too;
// - within a step the two middle lines stay on their column boundaries and
//   only the edges move: the edge the road leaves bends over in the lower
//   row, the edge it moves towards in the upper row. The sidewalk corners
//   beside a step therefore meet only paving, and a half of one step can
//   stand next to a half of the other (splits, joins, medians, added lanes).
#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

#include "assets/paint/paint.h"
#include "assets/pictures/town/tile_paint.h"
#include "assets/pictures/town/tile_parts.h"

using namespace paint;

namespace tiles {

namespace {

// Cross section of a road edge, in pixels from the tile edge inwards.
constexpr double kBand = 16;   // paving strip on the road's own tile
constexpr double kKerb = 5;    // concrete kerb
constexpr double kAsphaltLeft = kBand + kKerb;                // 21
constexpr double kAsphaltRight = 4 * kTile - kAsphaltLeft;    // 267
constexpr double kEdgeLineFrom = 5, kEdgeLineTo = 9;          // solid line, from the kerb
constexpr double kLaneLineHalf = 2;                           // dashed line half width
constexpr double kDashFrom = 16, kDashTo = 56;                // dash within each tile row

// How far an edge has moved after t of the step's 144 rows of pixels
// (t = 0 at the bottom). The edge the road leaves goes first and is past
// its column (60 of 72 pixels) before the upper row starts; the other edge
// has moved at most 11 pixels by then.
double EarlyShift(double t) { return kTile * Smooth(0, 96, t); }
double LateShift(double t) { return kTile * (1 - Smooth(0, 96, 2 * kTile - t)); }

enum class TScene { Straight, StepRight, StepLeft };

// Scene coordinates: x from the left edge of the road's first column at the
// bottom of the piece; y down the picture, the step's upper row at 0..72 and
// its lower row at 72..144.
struct TRoadShape {
  TScene Scene;

  double KerbLeft(double y) const {
    const double t = 2 * kTile - y;
    switch (Scene) {
      case TScene::StepRight: return kAsphaltLeft + EarlyShift(t);
      case TScene::StepLeft: return kAsphaltLeft - LateShift(t);
      case TScene::Straight: break;
    }
    return kAsphaltLeft;
  }
  double KerbRight(double y) const {
    const double t = 2 * kTile - y;
    switch (Scene) {
      case TScene::StepRight: return kAsphaltRight + LateShift(t);
      case TScene::StepLeft: return kAsphaltRight - EarlyShift(t);
      case TScene::Straight: break;
    }
    return kAsphaltRight;
  }
  // Dashed lines on column boundaries. Within a step only the two that
  // stay put are drawn; the one the road leaves ends below, the new one
  // starts above.
  std::vector<double> Lines() const {
    switch (Scene) {
      case TScene::StepRight: return {2.0 * kTile, 3.0 * kTile};
      case TScene::StepLeft: return {1.0 * kTile, 2.0 * kTile};
      case TScene::Straight: break;
    }
    return {1.0 * kTile, 2.0 * kTile, 3.0 * kTile};
  }
};

bool DashAt(double y) {
  const double w = Wrap(y);
  return w >= kDashFrom && w < kDashTo;
}

TColour LinePaint(double x, double y) {
  const double wear = TiledNoise(x, y, 18, 0x4c494e45u);
  return Scale(Hex(0xe8e7df), 0.93 + 0.07 * TiledHash(x, y, 0x4c4e4731u) - 0.10 * Smooth(0.6, 0.9, wear));
}

uint32_t SlabSeed(double x, double y, uint32_t scene) {
  return Hash2(static_cast<int>(std::floor(x / kTile)), static_cast<int>(std::floor(y / kTile)), scene);
}

TColour RoadPixel(const TRoadShape& shape, const std::vector<double>& lines, uint32_t scene, double x, double y) {
  const double kl = shape.KerbLeft(y), kr = shape.KerbRight(y);
  const double sl = shape.KerbLeft(y + 0.5) - shape.KerbLeft(y - 0.5);
  const double sr = shape.KerbRight(y + 0.5) - shape.KerbRight(y - 0.5);
  const double cl = 1 / std::sqrt(1 + sl * sl), cr = 1 / std::sqrt(1 + sr * sr);
  const double dl = (x - kl) * cl, dr = (kr - x) * cr;
  const bool left = dl < dr;
  const double d = left ? dl : dr;  // distance into the road from its nearer kerb
  // Unit normal of that kerb, pointing into the road, and how much its
  // road-side face looks towards the light (top-left).
  const double nx = left ? cl : -cr, ny = left ? -sl * cl : sr * cr;
  const double lit = -(nx + ny) / std::sqrt(2.0);

  if (d <= -kKerb) return SidewalkPaving(x, y, SlabSeed(x, y, scene));

  if (d <= 0) {
    const double u = -d;
    TColour c = Scale(Hex(0xcdc8bd), 1 + 0.06 * (TiledNoise(x, y, 18, 0x4b455242u) - 0.5) +
                                         0.06 * TiledHash(x, y, 0x4b524231u));
    if (u < 1.4) c = Scale(c, 1 + 0.32 * lit * (1 - u / 1.4));
    if (u > kKerb - 1.1) c = Scale(c, 1 - 0.22 * lit * (u - (kKerb - 1.1)) / 1.1);
    if (std::fmod(Wrap(y), 24.0) < 0.8) c = Scale(c, 0.8);
    return c;
  }

  TColour c = Asphalt(x, y);
  // Tyre tracks: two darker bands in every lane, 14 pixels off its lines.
  double nearest = std::abs(d - (kEdgeLineFrom + kEdgeLineTo) / 2);
  for (double line : lines) nearest = std::min(nearest, std::abs(x - line));
  const double track = std::exp(-(nearest - 15) * (nearest - 15) / 40.0);
  const double drip = std::exp(-(nearest - 36) * (nearest - 36) / 30.0);
  c = Scale(c, 1 - 0.08 * track - 0.05 * drip * Smooth(0.4, 0.7, TiledNoise(x, y, 6, 0x44524950u)));
  // Dirt in the gutter and the kerb's shadow when its face is turned away.
  if (d < 3) c = Scale(c, 0.86 + 0.14 * d / 3);
  if (lit < 0) {
    const double reach = 3.5 * (-lit) / std::sqrt(0.5);
    if (d < reach) c = Scale(c, 1 - 0.32 * (1 - d / reach));
  }

  if (d >= kEdgeLineFrom && d < kEdgeLineTo) return LinePaint(x, y);
  if (d > 14 && DashAt(y))
    for (double line : lines)
      if (std::abs(x - line) < kLaneLineHalf) return LinePaint(x, y);
  return c;
}

// Paints a road scene over `columns` x `rows` tiles whose top-left tile
// has scene x `left` (a multiple of 72).
void PaintScene(const TCanvas& canvas, const TRoadShape& shape, double left, uint32_t scene) {
  const std::vector<double> lines = shape.Lines();
  PaintPixels(canvas, [&](double x, double y) { return RoadPixel(shape, lines, scene, x + left, y); });
}

// A cast-iron manhole cover: raised rim, checker studs, a little shine.
void ManholeCover(cairo_t* cr, double cx, double cy, double r) {
  cairo_save(cr);
  cairo_arc(cr, cx, cy, r + 1.5, 0, 2 * std::numbers::pi);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
  cairo_fill(cr);
  cairo_pattern_t* g = RadialGradient(cx - r * 0.3, cy - r * 0.3, 0, r * 1.2, {{0, 0x5c5a57}, {1, 0x33312f}});
  cairo_arc(cr, cx, cy, r, 0, 2 * std::numbers::pi);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_arc(cr, cx, cy, r - 0.6, 0, 2 * std::numbers::pi);
  cairo_set_line_width(cr, 1.2);
  cairo_set_source_rgba(cr, 0.75, 0.73, 0.7, 0.35);
  cairo_stroke(cr);
  cairo_arc(cr, cx, cy, r - 2.5, 0, 2 * std::numbers::pi);
  cairo_clip(cr);
  for (double yy = cy - r; yy < cy + r; yy += 2.6)
    for (double xx = cx - r + (static_cast<int>((yy - cy) / 2.6) % 2) * 1.3; xx < cx + r; xx += 2.6) {
      cairo_rectangle(cr, xx, yy, 1.2, 1.2);
    }
  cairo_set_source_rgba(cr, 0.62, 0.6, 0.57, 0.35);
  cairo_fill(cr);
  cairo_restore(cr);
}

// A square cast-iron hatch set in the paving.
void UtilityHatch(cairo_t* cr, double x, double y, double s) {
  cairo_save(cr);
  cairo_rectangle(cr, x - 1, y - 1, s + 2, s + 2);
  SetColour(cr, Hex(0x77706a));
  cairo_fill(cr);
  cairo_pattern_t* g = LinearGradient(x, y, x + s, y + s, {{0, 0x67645f}, {1, 0x3c3a37}});
  cairo_rectangle(cr, x, y, s, s);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 0.8);
  cairo_set_source_rgba(cr, 0.15, 0.14, 0.13, 0.7);
  for (double k = 2.5; k < s; k += 2.5) {
    cairo_move_to(cr, x + k, y + 1);
    cairo_line_to(cr, x + k, y + s - 1);
  }
  cairo_stroke(cr);
  cairo_restore(cr);
}

TSurface PavingTile(uint32_t seed, const std::function<void(const TCanvas&)>& details = nullptr) {
  TCanvas c(kTile, kTile);
  PaintPixels(c, [&](double x, double y) { return SidewalkPaving(x, y, seed); });
  if (details) details(c);
  return CutTile(c, 0, 0);
}

}  // namespace

void PaintRoadTiles(TTileSlots& slots) {
  {
    TCanvas c(4 * kTile, kTile);
    PaintScene(c, TRoadShape{TScene::Straight}, 0, 0x53545231u);
    for (int col = 0; col < 4; ++col) slots[1 + col] = CutTile(c, col, 0);
  }
  // Every lane tile of the wider roads is an inner column of the straight road.
  for (int code : {21, 22, 33, 34, 35}) slots[code] = slots[2];
  {
    // Lower row 5..8 at columns 0..3, upper row 9..12 one column right.
    TCanvas c(5 * kTile, 2 * kTile);
    PaintScene(c, TRoadShape{TScene::StepRight}, 0, 0x53545232u);
    for (int col = 0; col < 4; ++col) {
      slots[5 + col] = CutTile(c, col, 1);
      slots[9 + col] = CutTile(c, col + 1, 0);
    }
  }
  {
    // Lower row 16, 15, 14, 13 at columns 0..3 (scene x 0..288), upper row
    // 20, 19, 18, 17 one column left; the canvas starts one column left.
    TCanvas c(5 * kTile, 2 * kTile);
    PaintScene(c, TRoadShape{TScene::StepLeft}, -kTile, 0x53545233u);
    for (int col = 0; col < 4; ++col) {
      slots[16 - col] = CutTile(c, col + 1, 1);
      slots[20 - col] = CutTile(c, col, 0);
    }
  }

  // Sidewalks: paving edge to edge, so any two of them join, and joints on
  // the tile edges, so paving meeting grass shows a clean border.
  slots[23] = PavingTile(23);
  slots[24] = PavingTile(24);
  slots[25] = PavingTile(25, [](const TCanvas& c) { ManholeCover(c.Cr(), 36, 36, 10); });
  for (int code = 26; code <= 29; ++code) slots[code] = PavingTile(code);
  slots[58] = PavingTile(58, [](const TCanvas& c) { UtilityHatch(c.Cr(), 21, 40, 12); });
  slots[60] = PavingTile(60, [](const TCanvas& c) { UtilityHatch(c.Cr(), 39, 40, 12); });
}

}  // namespace tiles
