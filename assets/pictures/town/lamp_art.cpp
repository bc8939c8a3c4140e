// A street lamp seen from straight above: a round base plate with the pole's
// cap on it, a slim arm out over the road and the lamp head at its end,
// ringed by its warm light. The arm and head stand high, so their shadow
// falls well to the bottom-right; the pole's shadow joins base and arm
// shadow. The lamps lie over the cars and the road as keyed pictures, so
// the pool of light is an ordered dither of warm pixels thinning outwards
// and the shadow is one solid tone of shaded asphalt.
#include "assets/pictures/town/lamp_art.h"

#include <cmath>
#include <filesystem>

#include "assets/paint/paint.h"
#include "assets/paint/race_art_pixels.h"
#include "assets/pictures/screens/screen_art.h"
#include "assets/pictures/town/tile_paint.h"

using namespace race_art;

namespace {

struct TLampPlan {
  const char* Name;
  int Width, Height;
  double BaseX, BaseY;  // centre of the base plate; it covers the post point
  double HeadX, HeadY;  // centre of the lamp head
};
// The post points (0, 9), (84, 9), (1, 1), (73, 41), (74, 1), (0, 40) lie
// within the base plates. "L" and "R" reach straight across the lanes; the
// lamps of the steps reach along the step's diagonal into the road.
constexpr TLampPlan kLamps[] = {
    {"Lamp_L", 85, 30, 3.0, 11.0, 57.0, 11.0},  {"Lamp_R", 85, 30, 82.0, 11.0, 28.0, 11.0},
    {"Lamp_RL", 76, 64, 3.5, 3.5, 42.0, 42.0},  {"Lamp_RR", 76, 52, 71.5, 42.5, 24.0, 15.0},
    {"Lamp_LR", 76, 64, 72.0, 3.5, 34.0, 42.0}, {"Lamp_LL", 76, 52, 3.5, 42.0, 52.0, 15.0},
};

constexpr double kBaseRadius = 4.3;
constexpr double kArmWidth = 3.4;
constexpr double kHeadLength = 20, kHeadWidth = 10;
constexpr double kShadowOffset = 6;
constexpr uint32_t kShadow = 0x26282d;  // asphalt in shade
constexpr uint32_t kOutline = 0x121417;

struct TFrame {
  double UX, UY;  // along the arm, from the post towards the head
  double VX, VY;  // across it
};
TFrame ArmFrame(const TLampPlan& lamp) {
  const double dx = lamp.HeadX - lamp.BaseX, dy = lamp.HeadY - lamp.BaseY, len = std::hypot(dx, dy);
  return {dx / len, dy / len, -dy / len, dx / len};
}

// The head's outline: a rounded box along the arm, its far end a little
// wider, like the hood of a street light.
void HeadPath(cairo_t* cr, const TLampPlan& lamp, double dx, double dy, double grow) {
  const TFrame f = ArmFrame(lamp);
  cairo_save(cr);
  cairo_translate(cr, lamp.HeadX + dx, lamp.HeadY + dy);
  cairo_matrix_t m;
  cairo_matrix_init(&m, f.UX, f.UY, f.VX, f.VY, 0, 0);
  cairo_transform(cr, &m);
  const double l = kHeadLength / 2 + grow, w = kHeadWidth / 2 + grow;
  cairo_new_sub_path(cr);
  cairo_move_to(cr, -l, -w * 0.7);
  cairo_curve_to(cr, -l * 0.2, -w * 0.85, l * 0.4, -w, l - w * 0.8, -w);
  cairo_curve_to(cr, l + w * 0.15, -w, l + w * 0.15, w, l - w * 0.8, w);
  cairo_curve_to(cr, l * 0.4, w, -l * 0.2, w * 0.85, -l, w * 0.7);
  cairo_close_path(cr);
  cairo_restore(cr);
}

void ArmPath(cairo_t* cr, const TLampPlan& lamp, double dx, double dy) {
  cairo_move_to(cr, lamp.BaseX + dx, lamp.BaseY + dy);
  cairo_line_to(cr, lamp.HeadX + dx, lamp.HeadY + dy);
}

// The light on the road: an ellipse along the arm, densest under the head.
void PaintGlow(TPixelLayer& layer, const TLampPlan& lamp) {
  const TFrame f = ArmFrame(lamp);
  const double cx = lamp.HeadX + f.UX * 2, cy = lamp.HeadY + f.UY * 2 + 2.5;
  for (int y = 0; y < layer.Height; ++y)
    for (int x = 0; x < layer.Width; ++x) {
      const double rx = x + 0.5 - cx, ry = y + 0.5 - cy;
      const double along = (rx * f.UX + ry * f.UY) / 21, across = (rx * f.VX + ry * f.VY) / 13;
      const double d2 = along * along + across * across;
      if (d2 >= 1) continue;
      const double light = std::pow(1 - d2, 1.5);
      layer.Over(x, y, Mix(Hex(0xe0a858), Hex(0xfff2c0), light), 1.1 * light);
    }
}

TSurface LampPicture(const TLampPlan& lamp) {
  // The glow is decided pixel by pixel and dithered; the lamp itself is
  // drawn smooth and keyed at half coverage over it.
  TPixelLayer glow(lamp.Width, lamp.Height);
  PaintGlow(glow, lamp);
  const TSurface glowPixels = glow.Keyed(true);

  paint::TCanvas c(lamp.Width, lamp.Height);
  c.Flush();
  for (int y = 0; y < lamp.Height; ++y)
    for (int x = 0; x < lamp.Width; ++x) {
      const uint32_t p = glowPixels.Row(y)[x];
      c.Row(y)[x] = p == kKey ? 0 : 0xFF000000u | p;
    }
  c.MarkDirty();
  cairo_t* cr = c.Cr();
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);

  // Shadows: the pole's runs from the base to where the arm's begins.
  paint::SetSource(cr, kShadow);
  cairo_set_line_width(cr, kArmWidth + 0.6);
  ArmPath(cr, lamp, kShadowOffset, kShadowOffset);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 4.2);
  cairo_move_to(cr, lamp.BaseX + 1, lamp.BaseY + 1);
  cairo_line_to(cr, lamp.BaseX + kShadowOffset, lamp.BaseY + kShadowOffset);
  cairo_stroke(cr);
  HeadPath(cr, lamp, kShadowOffset, kShadowOffset, 0.3);
  cairo_fill(cr);

  // Base plate and the pole's cap.
  paint::SetSource(cr, kOutline);
  screen_art::Disc(cr, lamp.BaseX, lamp.BaseY, kBaseRadius);
  cairo_fill(cr);
  cairo_pattern_t* plate = paint::RadialGradient(lamp.BaseX - 1.5, lamp.BaseY - 1.5, 0, kBaseRadius + 1,
                                                 {{0, 0x9aa0a8}, {0.6, 0x5e646c}, {1, 0x2c3036}});
  cairo_set_source(cr, plate);
  screen_art::Disc(cr, lamp.BaseX, lamp.BaseY, kBaseRadius - 0.9);
  cairo_fill(cr);
  cairo_pattern_destroy(plate);

  // The arm: a dark edge, a steel body and a lit top line.
  paint::SetSource(cr, kOutline);
  cairo_set_line_width(cr, kArmWidth + 1.4);
  ArmPath(cr, lamp, 0, 0);
  cairo_stroke(cr);
  const TFrame f = ArmFrame(lamp);
  cairo_pattern_t* steel = paint::LinearGradient(
      lamp.BaseX - f.VX * kArmWidth / 2, lamp.BaseY - f.VY * kArmWidth / 2, lamp.BaseX + f.VX * kArmWidth / 2,
      lamp.BaseY + f.VY * kArmWidth / 2,
      // The side facing the top-left light is the bright one.
      (f.VX + f.VY < 0) ? std::initializer_list<paint::TStop>{{0, 0xd6dbe2}, {1, 0x6a7078}}
                        : std::initializer_list<paint::TStop>{{0, 0x6a7078}, {1, 0xd6dbe2}});
  cairo_set_source(cr, steel);
  cairo_set_line_width(cr, kArmWidth);
  ArmPath(cr, lamp, 0, 0);
  cairo_stroke(cr);
  cairo_pattern_destroy(steel);

  cairo_pattern_t* cap = paint::RadialGradient(lamp.BaseX - 0.8, lamp.BaseY - 0.8, 0, 2.6,
                                               {{0, 0xf2f4f7}, {0.5, 0xa8aeb6}, {1, 0x50555c}});
  cairo_set_source(cr, cap);
  screen_art::Disc(cr, lamp.BaseX, lamp.BaseY, 2.4);
  cairo_fill(cr);
  cairo_pattern_destroy(cap);

  // The head: warm light spilling round its rim, a dark hood over it.
  paint::SetSource(cr, 0xffe7a0);
  HeadPath(cr, lamp, 0, 0, 1.6);
  cairo_fill(cr);
  paint::SetSource(cr, kOutline);
  HeadPath(cr, lamp, 0, 0, 0.4);
  cairo_fill(cr);
  cairo_pattern_t* hood = paint::LinearGradient(lamp.HeadX - 6, lamp.HeadY - 6, lamp.HeadX + 6, lamp.HeadY + 6,
                                                {{0, 0xb8bec6}, {0.45, 0x6c737c}, {1, 0x363a41}});
  cairo_set_source(cr, hood);
  HeadPath(cr, lamp, 0, 0, -0.6);
  cairo_fill(cr);
  cairo_pattern_destroy(hood);
  // A ridge along the hood and a sheen on its lit side.
  paint::SetSource(cr, 0x2a2e34, 0.8);
  cairo_set_line_width(cr, 0.9);
  cairo_move_to(cr, lamp.HeadX - f.UX * 6, lamp.HeadY - f.UY * 6);
  cairo_line_to(cr, lamp.HeadX + f.UX * 7, lamp.HeadY + f.UY * 7);
  cairo_stroke(cr);
  return paint::ToKeyedSurface(c, kKey);
}

// ---- Finish line ------------------------------------------------------------

constexpr int kFinishWidth = 72, kFinishHeight = 24;
constexpr double kSquare = 12;  // six squares a tile, so tiles side by side keep the chequer

TSurface FinishLine() {
  paint::TCanvas c(kFinishWidth, kFinishHeight);
  tiles::PaintPixels(c, [](double x, double y) {
    const tiles::TColour road = tiles::Asphalt(x, y);
    const bool white = (static_cast<int>(x / kSquare) + static_cast<int>(y / kSquare)) % 2 == 0;
    // Paint worn by tyres, thinner along the wheel tracks.
    const double wear = tiles::TiledFbm(x, y, 9, 2, 0x46494e31u);
    const double track = std::exp(-std::pow((tiles::Wrap(x) - 36) / 9, 2)) * 0.5;
    tiles::TColour paint = white ? tiles::Hex(0xeeede6) : tiles::Hex(0x141518);
    paint = tiles::Scale(paint, 1 + 0.05 * tiles::TiledHash(x, y, 0x46494e32u));
    const double showing = 0.1 + 0.45 * Smooth(0.55, 0.85, wear + 0.25 * track);
    return tiles::Mix(paint, road, white ? showing : showing * 0.4);
  });
  return paint::ToOpaqueSurface(c);
}

}  // namespace

void AddLampArt(TImageItems& res2) {
  for (const TLampPlan& lamp : kLamps) res2.push_back(KeyedPicture(lamp.Name, LampPicture(lamp), kKey));
  res2.push_back(OpaquePicture("FinishLine", FinishLine()));
}

namespace {

// Where each lamp stands on its tile: the picture and its draw x offset.
struct TLampOnTile {
  int Code;
  const char* Name;
  int DrawX;
};
constexpr TLampOnTile kLampTiles[] = {{1, "Lamp_L", 12},   {4, "Lamp_R", -28},  {5, "Lamp_RL", 42},
                                      {8, "Lamp_RR", 0},   {9, "Lamp_RL", 8},   {12, "Lamp_RR", -36},
                                      {13, "Lamp_LR", -48}, {16, "Lamp_LL", -6}, {17, "Lamp_LR", -12},
                                      {20, "Lamp_LL", 30}};

// A road climbing the screen: straight, a step left, straight, a step
// right, straight; every edge tile carries its lamp, and the finish line
// crosses the bottom straight. 255 is paving.
constexpr int kColumns = 11, kRows = 8;
constexpr unsigned char kRoad[kRows][kColumns] = {
    {255, 255, 1, 2, 3, 4, 255, 255, 255, 255, 255},      {255, 255, 20, 19, 18, 17, 255, 255, 255, 255, 255},
    {255, 255, 255, 16, 15, 14, 13, 255, 255, 255, 255},  {255, 255, 255, 1, 2, 3, 4, 255, 255, 255, 255},
    {255, 255, 255, 9, 10, 11, 12, 255, 255, 255, 255},   {255, 255, 5, 6, 7, 8, 255, 255, 255, 255, 255},
    {255, 255, 1, 2, 3, 4, 255, 255, 255, 255, 255},      {255, 255, 1, 2, 3, 4, 255, 255, 255, 255, 255},
};
constexpr int kFinishRow = 6;

}  // namespace

void WriteLampPreviews(const TImageItems&, const TImageItems& res2, const std::string& dir) {
  const std::string out = dir + "/race";
  std::filesystem::create_directories(out);
  screen_art::TScreenPage page;
  for (int row = 0; row < kRows; ++row)
    for (int col = 0; col < kColumns; ++col)
      page.Draw(res2, "Tiles", kRoad[row][col] == 255 ? 23 : kRoad[row][col], col * 72, row * 72);
  for (int col = 3; col <= 4; ++col) page.Draw(res2, "FinishLine", 0, col * 72, kFinishRow * 72);
  for (int row = 0; row < kRows; ++row)
    for (int col = 0; col < kColumns; ++col)
      for (const TLampOnTile& t : kLampTiles)
        if (t.Code == kRoad[row][col]) page.Draw(res2, t.Name, 0, col * 72 + t.DrawX, row * 72);
  page.Save(out + "/lamps_on_road.png");
}
