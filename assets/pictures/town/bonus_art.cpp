// The pickups. They are seen for a moment as the road rushes by, so each
// kind must read by shape and colour before its detail: the point bonuses
// are round chips, bright all over, with the value on them (10 green,
// 20 blue, 50 violet, 100 gold); the power-ups are square plates with a
// dark glass face and a glowing symbol (extra life a red heart, nitro a
// blue bottle, machine gun yellow cartridges, rockets an orange rocket).
// The panel's icons are the power-up plates drawn larger.
//
// The pictures are colour-keyed: each token ends in a thin near-black rim,
// so the hard keyed edge reads as that outline on asphalt or the panel and
// no fringe of the key colour survives.
#include "assets/pictures/town/bonus_art.h"

#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>

#include "assets/paint/paint.h"
#include "assets/pictures/screens/screen_art.h"

using namespace paint;
using namespace screen_art;

namespace {

constexpr double kPi = std::numbers::pi;

// Pickup size the road's collection test uses (four corners of 35 x 34).
constexpr int kPickupWidth = 35, kPickupHeight = 34;
constexpr int kPanelIcon = 40;

// Every token is drawn on a grid where its rim has radius 16.4 around
// (0, 0); a picture scales that to its own size.
constexpr double kRim = 16.4;

struct TCoin {
  const char* Name;
  const char* Value;
  uint32_t Light, Mid, Dark;  // the chip's edge
  uint32_t FaceHi, FaceLo;    // its face, lit from the top left
};
constexpr TCoin kCoins[] = {
    {"Bonus10", "10", 0xd8ffd8, 0x40c860, 0x0c5020, 0x9af5a0, 0x137a30},
    {"Bonus20", "20", 0xd8f2ff, 0x3aa8f0, 0x0a3470, 0x86d8ff, 0x0c4c9a},
    {"Bonus50", "50", 0xf2dcff, 0xa860f0, 0x34106a, 0xd4a4ff, 0x4a1890},
    {"Bonus100", "100", 0xfff6c8, 0xf2b830, 0x6a3e06, 0xffe27a, 0xb06a08},
};

enum class TSymbol { Heart, Nitro, Bullets, Rocket };

struct TPlate {
  const char* Name;
  TSymbol Symbol;
  uint32_t Light, Mid, Dark;  // the plate's rim
  uint32_t Glow;              // the symbol's light on the glass
};
constexpr TPlate kPlates[] = {
    {"BonusL", TSymbol::Heart, 0xffd0d6, 0xf03a50, 0x5a0814, 0xff2a40},
    {"BonusN", TSymbol::Nitro, 0xd6ecff, 0x2c8cf0, 0x082a66, 0x2a9aff},
    {"BonusMGnp", TSymbol::Bullets, 0xfff4c0, 0xe8b820, 0x5a3c04, 0xffc020},
    {"BonusRnp", TSymbol::Rocket, 0xffdcc0, 0xf07a20, 0x5a2404, 0xff7a10},
};
// The panel's icons: the nitro, the machine gun and the rocket launcher.
struct TPanelIcon {
  const char* Name;
  int Plate;  // index into kPlates
};
constexpr TPanelIcon kPanelIcons[] = {{"BonusNitro", 1}, {"BonusM", 2}, {"BonusR", 3}};

// Where that grid lies on a picture: `Place` puts it on a context.
struct TGrid {
  double CX, CY, Scale;
  void Place(cairo_t* cr) const {
    cairo_translate(cr, CX, CY);
    cairo_scale(cr, Scale, Scale);
  }
};

// Fills with `draw` on the grid, blurred, for glows and shadows.
template <typename TDraw>
void Blurred(const TCanvas& c, const TGrid& g, double radius, double opacity, cairo_operator_t op, TDraw draw) {
  PaintBlurred(c, radius * g.Scale, 0, 0, opacity, [&](cairo_t* p) {
    g.Place(p);
    draw(p);
  }, op);
}

// ---- Chips ----------------------------------------------------------------------

void PaintCoin(const TCanvas& c, const TGrid& g, const TCoin& coin) {
  cairo_t* cr = c.Cr();
  cairo_save(cr);
  g.Place(cr);
  SetSource(cr, 0x08090d);
  Disc(cr, 0, 0, kRim);
  cairo_fill(cr);
  cairo_pattern_t* edge = LinearGradient(-11, -12, 11, 12, {{0, coin.Light}, {0.45, coin.Mid}, {1, coin.Dark}});
  cairo_set_source(cr, edge);
  Disc(cr, 0, 0, kRim - 1.1);
  cairo_fill(cr);
  cairo_pattern_destroy(edge);
  // Light inserts round the edge, as on a gaming chip.
  cairo_save(cr);
  Disc(cr, 0, 0, kRim - 1.6);
  cairo_clip(cr);
  for (int i = 0; i < 6; ++i) {
    const double a = i * kPi / 3 + kPi / 6;
    cairo_new_path(cr);
    cairo_arc(cr, 0, 0, 14.1, a - 0.2, a + 0.2);
    cairo_set_line_width(cr, 2.6);
    SetSource(cr, 0xffffff, 0.75);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  // The face sits in a groove inside the edge.
  SetSource(cr, 0x000000, 0.55);
  Disc(cr, 0, 0, 12.4);
  cairo_fill(cr);
  cairo_pattern_t* face = RadialGradient(-3.5, -4.5, 13.5, 0, {{0, coin.FaceLo}, {1, coin.FaceHi}});
  cairo_set_source(cr, face);
  Disc(cr, 0, 0, 11.5);
  cairo_fill(cr);
  cairo_pattern_destroy(face);
  // The face glows from inside: light brightest at its middle.
  cairo_pattern_t* core = RadialGradient(0, 0, 0, 11.5, {{0, 0xffffff, 0.35}, {0.6, 0xffffff, 0.08}, {1, 0xffffff, 0}});
  cairo_set_source(cr, core);
  Disc(cr, 0, 0, 11.5);
  cairo_fill(cr);
  cairo_pattern_destroy(core);
  cairo_restore(cr);

  // The value: condensed enough that "100" sits inside the face.
  const bool wide = std::string(coin.Value).size() > 2;
  const TFontFace face0 = DisplayFace(wide ? 15.5 : 18, -0.08, wide ? 0.74 : 0.92);
  auto valuePath = [&](cairo_t* p) {
    g.Place(p);
    SelectFont(p, face0);
    const TInk ink = MeasureInk(p, coin.Value);
    cairo_move_to(p, -ink.X - ink.Width / 2 + 0.3, -ink.Y - ink.Height / 2);
    cairo_text_path(p, coin.Value);
    cairo_identity_matrix(p);
  };
  cairo_save(cr);
  SetSource(cr, 0x0a0a10, 0.95);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  valuePath(cr);
  cairo_set_line_width(cr, 2.6 * g.Scale);
  cairo_stroke_preserve(cr);
  cairo_pattern_t* ink = LinearGradient(0, g.CY - 6 * g.Scale, 0, g.CY + 6 * g.Scale, {{0, 0xffffff}, {1, 0xe4e8f0}});
  cairo_set_source(cr, ink);
  cairo_fill(cr);
  cairo_pattern_destroy(ink);
  cairo_restore(cr);

  // A glint on the top left of the edge.
  cairo_save(cr);
  g.Place(cr);
  cairo_new_path(cr);
  cairo_arc(cr, 0, 0, 14.6, kPi * 1.05, kPi * 1.45);
  cairo_set_line_width(cr, 1.2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  SetSource(cr, 0xffffff, 0.85);
  cairo_stroke(cr);
  cairo_restore(cr);
}

// ---- Plates ---------------------------------------------------------------------

void HeartPath(cairo_t* cr) {
  cairo_new_sub_path(cr);
  cairo_move_to(cr, 0, 9);
  cairo_curve_to(cr, -6, 4.5, -10.5, 0.5, -10.5, -4);
  cairo_curve_to(cr, -10.5, -8, -8, -10, -5.4, -10);
  cairo_curve_to(cr, -2.9, -10, -1, -8.6, 0, -6.3);
  cairo_curve_to(cr, 1, -8.6, 2.9, -10, 5.4, -10);
  cairo_curve_to(cr, 8, -10, 10.5, -8, 10.5, -4);
  cairo_curve_to(cr, 10.5, 0.5, 6, 4.5, 0, 9);
  cairo_close_path(cr);
}

// Symbols are drawn upright around (0, 0); with `outline` they only add
// their silhouette to the path (for the glow and the dark edge).
void PaintHeart(cairo_t* cr, bool outline) {
  cairo_save(cr);
  cairo_translate(cr, 0, 0.6);
  HeartPath(cr);
  if (outline) {
    cairo_restore(cr);
    return;
  }
  cairo_pattern_t* fill = RadialGradient(-3.5, -5, 0, 13, {{0, 0xffffff}, {0.35, 0xffb4bc}, {0.8, 0xf02a44}, {1, 0xa00c20}});
  cairo_set_source(cr, fill);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);
  cairo_translate(cr, -4.6, -5.6);
  cairo_rotate(cr, -0.6);
  cairo_scale(cr, 2.6, 1.5);
  SetSource(cr, 0xffffff, 0.8);
  Disc(cr, 0, 0, 1);
  cairo_fill(cr);
  cairo_restore(cr);
}

// A nitrous bottle lying at a slant, blue with a white band, its valve
// to the top right.
void PaintNitro(cairo_t* cr, bool outline) {
  cairo_save(cr);
  cairo_rotate(cr, 0.62);
  auto body = [&] { RoundedRect(cr, -4.8, -5.5, 4.8, 11.5, 4.2); };
  auto neck = [&] {
    cairo_rectangle(cr, -2.2, -9, 4.4, 4);
    cairo_rectangle(cr, -4, -11.8, 8, 3.2);
  };
  if (outline) {
    body();
    neck();
    cairo_restore(cr);
    return;
  }
  cairo_pattern_t* steel = LinearGradient(-4, 0, 4, 0, {{0, 0x5a6270}, {0.35, 0xffffff}, {1, 0x6a7282}});
  cairo_set_source(cr, steel);
  neck();
  cairo_fill(cr);
  cairo_pattern_destroy(steel);
  cairo_pattern_t* glass = LinearGradient(-4.8, 0, 4.8, 0,
                                          {{0, 0x0a2a80}, {0.3, 0x8ac8ff}, {0.45, 0x3a94ff}, {1, 0x0a2a80}});
  cairo_set_source(cr, glass);
  body();
  cairo_fill(cr);
  cairo_pattern_destroy(glass);
  cairo_save(cr);
  body();
  cairo_clip(cr);
  cairo_pattern_t* band = LinearGradient(-4.8, 0, 4.8, 0, {{0, 0x9aa4b4}, {0.35, 0xffffff}, {1, 0x8a94a4}});
  cairo_set_source(cr, band);
  cairo_rectangle(cr, -5, 1.2, 10, 4.2);
  cairo_fill(cr);
  cairo_pattern_destroy(band);
  cairo_restore(cr);
  cairo_restore(cr);
}

// Three cartridges standing side by side.
void PaintBullets(cairo_t* cr, bool outline) {
  for (int i = -1; i <= 1; ++i) {
    const double x = i * 6.2, y = i == 0 ? -1.2 : 0.6;
    auto tip = [&] {
      cairo_new_sub_path(cr);
      cairo_move_to(cr, x - 2.3, y - 1);
      cairo_curve_to(cr, x - 2.3, y - 6, x - 1, y - 9, x, y - 10);
      cairo_curve_to(cr, x + 1, y - 9, x + 2.3, y - 6, x + 2.3, y - 1);
      cairo_close_path(cr);
    };
    auto casing = [&] { cairo_rectangle(cr, x - 2.5, y - 1.2, 5, 10.6); };
    auto rim = [&] { cairo_rectangle(cr, x - 2.9, y + 8.4, 5.8, 1.8); };
    if (outline) {
      tip();
      casing();
      rim();
      continue;
    }
    cairo_pattern_t* copper = LinearGradient(x - 2.3, 0, x + 2.3, 0, {{0, 0x7a3410}, {0.35, 0xffc89a}, {1, 0x8a3c14}});
    cairo_set_source(cr, copper);
    tip();
    cairo_fill(cr);
    cairo_pattern_destroy(copper);
    cairo_pattern_t* brass = LinearGradient(x - 2.5, 0, x + 2.5, 0, {{0, 0x8a6008}, {0.35, 0xfff2a0}, {0.6, 0xf0c030}, {1, 0x7a5004}});
    cairo_set_source(cr, brass);
    casing();
    rim();
    cairo_fill(cr);
    cairo_pattern_destroy(brass);
    SetSource(cr, 0x3a2804, 0.8);
    cairo_rectangle(cr, x - 2.5, y + 7.8, 5, 0.6);
    cairo_fill(cr);
  }
}

// A rocket climbing to the top right on a short flame.
void PaintRocket(cairo_t* cr, bool outline) {
  cairo_save(cr);
  cairo_rotate(cr, 0.72);
  cairo_translate(cr, 0, 0.5);
  auto flame = [&] {
    cairo_new_sub_path(cr);
    cairo_move_to(cr, -2.4, 7.5);
    cairo_curve_to(cr, -2.4, 11, -0.8, 13, 0, 15);
    cairo_curve_to(cr, 0.8, 13, 2.4, 11, 2.4, 7.5);
    cairo_close_path(cr);
  };
  auto fins = [&] {
    cairo_new_sub_path(cr);
    cairo_move_to(cr, -2.8, 1.5);
    cairo_line_to(cr, -6.6, 7);
    cairo_line_to(cr, -6.6, 9);
    cairo_line_to(cr, -2.8, 7.5);
    cairo_close_path(cr);
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 2.8, 1.5);
    cairo_line_to(cr, 6.6, 7);
    cairo_line_to(cr, 6.6, 9);
    cairo_line_to(cr, 2.8, 7.5);
    cairo_close_path(cr);
  };
  auto body = [&] {
    cairo_new_sub_path(cr);
    cairo_move_to(cr, -2.9, 8);
    cairo_line_to(cr, -2.9, -5);
    cairo_curve_to(cr, -2.9, -8.5, -1.4, -11, 0, -12.5);
    cairo_curve_to(cr, 1.4, -11, 2.9, -8.5, 2.9, -5);
    cairo_line_to(cr, 2.9, 8);
    cairo_close_path(cr);
  };
  if (outline) {
    flame();
    fins();
    body();
    cairo_restore(cr);
    return;
  }
  cairo_pattern_t* fire = LinearGradient(0, 7.5, 0, 15, {{0, 0xffffe0}, {0.35, 0xffd040}, {1, 0xff5a10}});
  cairo_set_source(cr, fire);
  flame();
  cairo_fill(cr);
  cairo_pattern_destroy(fire);
  cairo_pattern_t* red = LinearGradient(-6.6, 0, 6.6, 0, {{0, 0x8a0c10}, {0.4, 0xff5a4a}, {1, 0x7a0a0c}});
  cairo_set_source(cr, red);
  fins();
  cairo_fill(cr);
  cairo_pattern_destroy(red);
  cairo_pattern_t* hull = LinearGradient(-2.9, 0, 2.9, 0, {{0, 0x7a808c}, {0.35, 0xffffff}, {0.6, 0xdfe4ec}, {1, 0x6a707c}});
  cairo_set_source(cr, hull);
  body();
  cairo_fill(cr);
  cairo_pattern_destroy(hull);
  // A red nose.
  cairo_save(cr);
  body();
  cairo_clip(cr);
  cairo_pattern_t* nose = LinearGradient(-2.9, 0, 2.9, 0, {{0, 0x8a0c10}, {0.4, 0xff6a5a}, {1, 0x7a0a0c}});
  cairo_set_source(cr, nose);
  cairo_rectangle(cr, -3, -13, 6, 7.5);
  cairo_fill(cr);
  cairo_pattern_destroy(nose);
  cairo_restore(cr);
  cairo_restore(cr);
}

void PaintSymbol(cairo_t* cr, TSymbol s, bool outline) {
  switch (s) {
    case TSymbol::Heart: PaintHeart(cr, outline); break;
    case TSymbol::Nitro: PaintNitro(cr, outline); break;
    case TSymbol::Bullets: PaintBullets(cr, outline); break;
    case TSymbol::Rocket: PaintRocket(cr, outline); break;
  }
}

void PlatePath(cairo_t* cr, double half, double radius) { RoundedRect(cr, -half, -half, half, half, radius); }

void PaintPlate(const TCanvas& c, const TGrid& g, const TPlate& plate) {
  cairo_t* cr = c.Cr();
  cairo_save(cr);
  g.Place(cr);
  SetSource(cr, 0x08090d);
  PlatePath(cr, kRim - 0.4, 6.5);
  cairo_fill(cr);
  cairo_pattern_t* rim = LinearGradient(-12, -13, 12, 13, {{0, plate.Light}, {0.45, plate.Mid}, {1, plate.Dark}});
  cairo_set_source(cr, rim);
  PlatePath(cr, kRim - 1.4, 5.6);
  cairo_fill(cr);
  cairo_pattern_destroy(rim);
  SetSource(cr, 0x000000, 0.7);
  PlatePath(cr, 12.9, 3.6);
  cairo_fill(cr);
  cairo_pattern_t* glass = LinearGradient(0, -12, 0, 12, {{0, 0x232838}, {1, 0x07080c}});
  cairo_set_source(cr, glass);
  PlatePath(cr, 12.2, 3.2);
  cairo_fill(cr);
  cairo_pattern_destroy(glass);
  cairo_pattern_t* light = RadialGradient(0, 0, 0, 13, {{0, plate.Glow, 0.55}, {0.7, plate.Glow, 0.12}, {1, plate.Glow, 0}});
  cairo_set_source(cr, light);
  PlatePath(cr, 12.2, 3.2);
  cairo_fill(cr);
  cairo_pattern_destroy(light);
  cairo_restore(cr);

  Blurred(c, g, 1.8, 0.9, CAIRO_OPERATOR_ADD, [&](cairo_t* p) {
    SetSource(p, plate.Glow);
    PaintSymbol(p, plate.Symbol, true);
    cairo_fill(p);
  });
  // A dark edge round the symbol; its inner half is painted over.
  cairo_save(cr);
  g.Place(cr);
  PaintSymbol(cr, plate.Symbol, true);
  SetSource(cr, 0x06070a, 0.9);
  cairo_set_line_width(cr, 2.0);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
  cairo_restore(cr);

  cairo_save(cr);
  g.Place(cr);
  PaintSymbol(cr, plate.Symbol, false);
  // The glass of the face reflects the sky at its top.
  PlatePath(cr, 12.2, 3.2);
  cairo_clip(cr);
  cairo_pattern_t* gloss = LinearGradient(0, -12.2, 0, -1, {{0, 0xffffff, 0.28}, {1, 0xffffff, 0.02}});
  cairo_set_source(cr, gloss);
  cairo_rectangle(cr, -13, -13, 26, 11.5);
  cairo_fill(cr);
  cairo_pattern_destroy(gloss);
  cairo_restore(cr);
  // A glint on the top-left corner of the rim.
  cairo_save(cr);
  g.Place(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, -14.6, -3);
  cairo_line_to(cr, -14.6, -10);
  cairo_curve_to(cr, -14.6, -13, -13, -14.6, -10, -14.6);
  cairo_line_to(cr, -3, -14.6);
  cairo_set_line_width(cr, 1.1);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  SetSource(cr, 0xffffff, 0.8);
  cairo_stroke(cr);
  cairo_restore(cr);
}

TGrid PickupGrid() { return {kPickupWidth / 2.0, kPickupHeight / 2.0, 1.0}; }
TGrid PanelGrid() { return {kPanelIcon / 2.0, kPanelIcon / 2.0, (kPanelIcon / 2.0 - 0.6) / kRim}; }

TSurface CoinPicture(const TCoin& coin) {
  TCanvas c(kPickupWidth, kPickupHeight);
  PaintCoin(c, PickupGrid(), coin);
  return ToKeyedSurface(c, kKey);
}

TSurface PlatePicture(const TPlate& plate, int width, int height, const TGrid& g) {
  TCanvas c(width, height);
  PaintPlate(c, g, plate);
  return ToKeyedSurface(c, kKey);
}

}  // namespace

void AddBonusArt(TImageItems& res2) {
  for (const TCoin& coin : kCoins) res2.push_back(KeyedPicture(coin.Name, CoinPicture(coin), kKey));
  for (const TPlate& plate : kPlates)
    res2.push_back(KeyedPicture(plate.Name, PlatePicture(plate, kPickupWidth, kPickupHeight, PickupGrid()), kKey));
  for (const TPanelIcon& icon : kPanelIcons)
    res2.push_back(KeyedPicture(icon.Name, PlatePicture(kPlates[icon.Plate], kPanelIcon, kPanelIcon, PanelGrid()), kKey));
}

namespace {

// Asphalt as the road shows it: cool dark grey with fine grain and a lane
// mark, for judging the pickups where they are seen.
void PaintAsphalt(const TCanvas& c) {
  cairo_t* cr = c.Cr();
  SetSource(cr, 0x3b3e45);
  cairo_paint(cr);
  SetSource(cr, 0xe8e8e8);
  for (double y = -10; y < c.Height(); y += 60) {
    cairo_rectangle(cr, c.Width() / 2.0 - 2, y, 4, 30);
    cairo_fill(cr);
  }
  AddGrain(c, 0.03, 11);
}

}  // namespace

void WriteBonusPreviews(const TImageItems&, const TImageItems& res2, const std::string& dir) {
  const std::string out = dir + "/screens";
  std::filesystem::create_directories(out);
  const char* const names[] = {"Bonus10", "Bonus20", "Bonus50", "Bonus100", "BonusL", "BonusN", "BonusMGnp", "BonusRnp"};
  // On the road at their size, in a row and scattered over the lanes.
  TCanvas road(420, 150);
  PaintAsphalt(road);
  road.Flush();
  TSurface sheet;
  sheet.Resize(420, 150);
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 420; ++x) sheet.Row(y)[x] = road.Row(y)[x] & 0xFFFFFF;
  for (int i = 0; i < 8; ++i) {
    FindPicture(res2, names[i]).Draw(sheet, 14 + i * 50, 20, 0);
    FindPicture(res2, names[(i * 3) % 8]).Draw(sheet, 24 + i * 48, 80 + (i % 2) * 20, 0);
  }
  TCanvas view(420, 150);
  BlitSurface(view, sheet, 0, 0);
  WritePng(view, out + "/pickups_on_road.png");
  // Enlarged four times, pixels kept sharp, with the panel icons.
  constexpr int kZoom = 4;
  TCanvas zoom(8 * 44 * kZoom, 2 * 48 * kZoom);
  cairo_t* cr = zoom.Cr();
  SetSource(cr, 0x3b3e45);
  cairo_paint(cr);
  TSurface cells;
  cells.Resize(8 * 44, 2 * 48);
  std::fill(cells.Pixels.begin(), cells.Pixels.end(), 0x3b3e45);
  for (int i = 0; i < 8; ++i) FindPicture(res2, names[i]).Draw(cells, 4 + i * 44, 6, 0);
  const char* const icons[] = {"BonusNitro", "BonusM", "BonusR"};
  for (int i = 0; i < 3; ++i) FindPicture(res2, icons[i]).Draw(cells, 4 + i * 44, 52, 0);
  TCanvas small(cells.Width, cells.Height);
  BlitSurface(small, cells, 0, 0);
  cairo_scale(cr, kZoom, kZoom);
  cairo_set_source_surface(cr, small.Surface(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  WritePng(zoom, out + "/pickups_closeup.png");
}
