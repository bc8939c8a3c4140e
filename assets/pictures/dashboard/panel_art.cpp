// The dashboard: dark brushed metal lit from the top left, with display
// windows of dark green glass set into it wherever the race prints its
// green LCD texts, sockets for the weapon and nitro icons, a groove for the
// progress marker and the speedometer. Every place comes from where the
// race draws: the texts are centred on fixed points, the icons and the
// damage display have fixed corners, and the needle's pivot lands at
// (needle width + 641, needle height + 509), so the dial is centred there.
#include "assets/pictures/dashboard/panel_art.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "assets/paint/paint.h"
#include "assets/paint/race_art_pixels.h"
#include "assets/pictures/screens/screen_art.h"

using namespace paint;
using race_art::Hex;
using race_art::kKey;
using race_art::Mix;
using race_art::Smooth;
using race_art::TRgb;

namespace {

// The panel's words come in Russian and, for "Panel_En", in English; this
// says which is being painted.
bool gEnglish = false;
const char* Word(const char* russian, const char* english) { return gEnglish ? english : russian; }

constexpr double kPi = std::numbers::pi;
constexpr uint32_t kSeed = 0x50414e4c;  // "PANL"

constexpr int kPanelLeft = 610;  // screen x of the panel's left edge
constexpr int kPanelWidth = 182, kPanelHeight = 592;

// The needle, and the dial centre its pivot lands on (panel coordinates).
constexpr int kNeedleWidth = 64, kNeedleHeight = 7;
constexpr double kPivotFractionX = 1.04;
constexpr double kDialX = kNeedleWidth + 641 - kPanelLeft;  // 95
constexpr double kDialY = kNeedleHeight + 509;              // 516
constexpr double kBezelOuter = 73, kFaceRadius = 66;

// Needle angle (1/256 turn, 0 pointing left, clockwise) for a speed: the
// race turns it to Round(1.15 * Speed - 28).
double NeedleAngle(double speed) { return 1.15 * speed - 28; }
// Direction of the needle on the screen, in radians from +x, clockwise.
double NeedleDirection(double angle) { return kPi + angle * 2 * kPi / 256; }

struct TBox {
  double L, T, R, B;
};

// Glass of the display windows, round the points the texts are centred on:
// level (690, 28), time (705, 117), score (692, 202), ammo (763, 272),
// lives (775, 327), nitro amount (760, 384); each holds its longest text
// with room to spare (the level up to "УРОВЕНЬ 9").
constexpr TBox kLevelGlass{5, 11, 156, 46};
constexpr TBox kTimeGlass{40, 100, 150, 135};
constexpr TBox kScoreGlass{18, 185, 146, 220};
constexpr TBox kAmmoGlass{121, 256, 179, 289};
constexpr TBox kLivesGlass{150, 311, 179, 344};
constexpr TBox kNitroGlass{121, 368, 179, 401};

// Icon sockets: "BonusM"/"BonusR" at (627, 251), "BonusNitro" at (628, 363).
constexpr TBox kWeaponSocket{17, 251, 57, 291};
constexpr TBox kNitroSocket{18, 363, 58, 403};

// The progress marker slides with its left edge at x = 773 between y = 15
// and 216.
constexpr int kSmallCarWidth = 14, kSmallCarHeight = 24;
constexpr double kTrackLeft = 773 - kPanelLeft, kTrackTop = 15, kTrackBottom = 216;

// "Energy" at (672, 558).
constexpr int kEnergyWidth = 56, kEnergyHeight = 18;
constexpr TBox kEnergyGlass{672 - kPanelLeft, 558, 672 - kPanelLeft + kEnergyWidth, 558 + kEnergyHeight};
constexpr int kEnergyPatterns = 4;

// ---- Metal ------------------------------------------------------------------

TRgb MetalAt(const TValueNoise& brush, double x, double y) {
  TRgb c = Mix(Hex(0x333840), Hex(0x1c1f24), Smooth(0, kPanelHeight, y));
  // Brushed across: long streaks, a finer grain between them.
  double shade = 0.07 * (brush.Fbm(x / 70.0, y * 0.7, 3) - 0.5) * 2;
  shade += 0.025 * (HashUnit(static_cast<int>(x / 4), static_cast<int>(y), kSeed) - 0.5);
  // A broad sheen where the light from the top left falls.
  shade += 0.10 * std::exp(-std::pow((x * 0.4 + y - 150) / 160, 2));
  c = race_art::Scale(c, 1 + shade);
  // The panel's edge towards the road: a dark seam, then a lit bevel.
  if (x < 1) c = Hex(0x08090b);
  else if (x < 3) c = Mix(c, Hex(0x9aa2ad), 0.55 * (3 - x) / 2);
  else if (x < 6) c = race_art::Scale(c, 0.9 + 0.1 * (x - 3) / 3);
  return c;
}

void PaintMetal(const TCanvas& c) {
  const TValueNoise brush(kSeed);
  c.Flush();
  for (int y = 0; y < kPanelHeight; ++y) {
    uint32_t* row = c.Row(y);
    for (int x = 0; x < kPanelWidth; ++x) row[x] = 0xFF000000u | race_art::Pack(MetalAt(brush, x + 0.5, y + 0.5));
  }
  c.MarkDirty();
}

void RoundedRect(cairo_t* cr, const TBox& b, double r) { screen_art::RoundedRect(cr, b.L, b.T, b.R, b.B, r); }
TBox Grow(const TBox& b, double d) { return {b.L - d, b.T - d, b.R + d, b.B + d}; }

// A line cut into the metal: shade on its upper lip, light on its lower.
void Engrave(cairo_t* cr, double x0, double x1, double y) {
  cairo_set_line_width(cr, 1);
  SetSource(cr, 0x000000, 0.55);
  cairo_move_to(cr, x0, y - 0.5);
  cairo_line_to(cr, x1, y - 0.5);
  cairo_stroke(cr);
  SetSource(cr, 0xb0b8c4, 0.22);
  cairo_move_to(cr, x0, y + 0.5);
  cairo_line_to(cr, x1, y + 0.5);
  cairo_stroke(cr);
}

void Screw(cairo_t* cr, double x, double y, double slot) {
  SetSource(cr, 0x000000, 0.6);
  screen_art::Disc(cr, x + 0.4, y + 0.5, 3.0);
  cairo_fill(cr);
  cairo_pattern_t* head = RadialGradient(x - 0.9, y - 1.0, 0, 3.0, {{0, 0xf0f2f5}, {0.45, 0x9ca2ab}, {1, 0x3e434a}});
  cairo_set_source(cr, head);
  screen_art::Disc(cr, x, y, 2.4);
  cairo_fill(cr);
  cairo_pattern_destroy(head);
  SetSource(cr, 0x1c1f24, 0.9);
  cairo_set_line_width(cr, 0.9);
  cairo_move_to(cr, x - 1.9 * std::cos(slot), y - 1.9 * std::sin(slot));
  cairo_line_to(cr, x + 1.9 * std::cos(slot), y + 1.9 * std::sin(slot));
  cairo_stroke(cr);
}

// A recess in the metal: its upper edge in shade, its lower edge catching
// the light, a thin steel lip, then a black gasket round `inner`.
void Recess(const TCanvas& c, const TBox& inner, double rim, double radius) {
  cairo_t* cr = c.Cr();
  const TBox outer = Grow(inner, rim);
  cairo_pattern_t* lip = LinearGradient(outer.L, outer.T, outer.L + (outer.B - outer.T) * 0.3, outer.B,
                                        {{0, 0x07080a}, {0.45, 0x30353d}, {1, 0x8d95a1}});
  cairo_set_source(cr, lip);
  RoundedRect(cr, outer, radius + rim);
  cairo_fill(cr);
  cairo_pattern_destroy(lip);
  SetSource(cr, 0x040506);
  RoundedRect(cr, Grow(inner, 1), radius + 1);
  cairo_fill(cr);
}

// ---- Display glass ------------------------------------------------------------

// Dark green glass: deeper towards the bottom, a faint line raster, shade
// under the upper edge and a soft reflection across the top.
void Glass(const TCanvas& c, const TBox& g, double radius) {
  cairo_t* cr = c.Cr();
  cairo_save(cr);
  RoundedRect(cr, g, radius);
  cairo_clip(cr);
  cairo_pattern_t* deep = LinearGradient(0, g.T, 0, g.B, {{0, 0x0b1a0f}, {0.55, 0x071309}, {1, 0x0a170c}});
  cairo_set_source(cr, deep);
  cairo_paint(cr);
  cairo_pattern_destroy(deep);
  SetSource(cr, 0x000000, 0.18);
  for (double y = std::floor(g.T) + 1; y < g.B; y += 2) {
    cairo_rectangle(cr, g.L, y, g.R - g.L, 1);
  }
  cairo_fill(cr);
  PaintBlurred(c, 2.2, 1.2, 2.0, 0.85, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    cairo_set_fill_rule(p, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(p, g.L - 20, g.T - 20, g.R - g.L + 40, g.B - g.T + 40);
    RoundedRect(p, g, radius);
    cairo_fill(p);
  });
  const double h = g.B - g.T;
  cairo_pattern_t* sheen = LinearGradient(g.L, g.T, g.L + h * 0.6, g.T + h,
                                          {{0, 0xc8ffd0, 0.10}, {0.42, 0xc8ffd0, 0.04}, {0.46, 0xc8ffd0, 0.0}});
  cairo_set_source(cr, sheen);
  cairo_paint(cr);
  cairo_pattern_destroy(sheen);
  cairo_restore(cr);
}

void DisplayWindow(const TCanvas& c, const TBox& glass) {
  Recess(c, glass, 3, 3);
  Glass(c, glass, 2.5);
}

// ---- Labels -------------------------------------------------------------------

// Small capitals stamped into the metal, letter-spaced, centred on (cx, cy)
// by their capital height.
void Label(const TCanvas& c, const std::string& utf8, double cx, double cy, double size = 11.5) {
  cairo_t* cr = c.Cr();
  const TFontFace face = DisplayFace(size);
  SelectFont(cr, face);
  const double spacing = 1.3;
  // Split into UTF-8 characters to space them out.
  std::vector<std::string> chars;
  for (size_t i = 0; i < utf8.size();) {
    size_t n = 1;
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    if (b >= 0xF0) n = 4;
    else if (b >= 0xE0) n = 3;
    else if (b >= 0xC0) n = 2;
    chars.push_back(utf8.substr(i, n));
    i += n;
  }
  double width = 0;
  for (size_t i = 0; i < chars.size(); ++i) width += MeasureInk(cr, chars[i]).Advance + (i + 1 < chars.size() ? spacing : 0);
  const double cap = -MeasureInk(cr, "Н").Y;
  auto path = [&](double dx, double dy) {
    double x = cx - width / 2 + dx;
    for (const std::string& ch : chars) {
      cairo_move_to(cr, x, cy + cap / 2 + dy);
      cairo_text_path(cr, ch.c_str());
      x += MeasureInk(cr, ch).Advance + spacing;
    }
  };
  SetSource(cr, 0x000000, 0.75);
  path(-0.5, -0.6);
  cairo_fill(cr);
  SetSource(cr, 0xc0c8d4, 0.25);
  path(0.5, 0.7);
  cairo_fill(cr);
  SetSource(cr, 0x98a2ae);
  path(0, 0);
  cairo_fill(cr);
}

// ---- Small car ----------------------------------------------------------------

// A tiny car seen from above, front up, in a box of w x h at (x, y).
void TinyCar(cairo_t* cr, double x, double y, double w, double h, uint32_t light, uint32_t mid, uint32_t dark) {
  const TBox body{x + 0.6, y + 0.6, x + w - 0.6, y + h - 0.6};
  SetSource(cr, 0x0a0b0d);
  RoundedRect(cr, body, w * 0.32);
  cairo_fill(cr);
  cairo_pattern_t* lacquer = LinearGradient(body.L, 0, body.R, 0, {{0, dark}, {0.3, light}, {0.55, mid}, {1, dark}});
  cairo_set_source(cr, lacquer);
  RoundedRect(cr, Grow(body, -0.9), w * 0.28);
  cairo_fill(cr);
  cairo_pattern_destroy(lacquer);
  // Windscreen, roof, rear window.
  const double cx = x + w / 2;
  SetSource(cr, 0x10161e);
  RoundedRect(cr, {cx - w * 0.3, y + h * 0.27, cx + w * 0.3, y + h * 0.42}, 1.2);
  cairo_fill(cr);
  RoundedRect(cr, {cx - w * 0.27, y + h * 0.68, cx + w * 0.27, y + h * 0.78}, 1.0);
  cairo_fill(cr);
  SetSource(cr, 0xffffff, 0.35);
  RoundedRect(cr, {cx - w * 0.2, y + h * 0.45, cx - w * 0.02, y + h * 0.64}, 0.8);
  cairo_fill(cr);
  // Headlights.
  SetSource(cr, 0xfff4c0);
  cairo_rectangle(cr, x + w * 0.18, y + 1.4, w * 0.16, 1.4);
  cairo_rectangle(cr, x + w * 0.66, y + 1.4, w * 0.16, 1.4);
  cairo_fill(cr);
}

TSurface SmallCarPicture() {
  TCanvas c(kSmallCarWidth, kSmallCarHeight);
  TinyCar(c.Cr(), 0, 0, kSmallCarWidth, kSmallCarHeight, 0xff8a70, 0xe0281c, 0x6a0c08);
  return ToKeyedSurface(c, kKey);
}

// ---- Progress groove ----------------------------------------------------------

void ProgressGroove(const TCanvas& c) {
  cairo_t* cr = c.Cr();
  const double cx = kTrackLeft + kSmallCarWidth / 2.0;
  const TBox slot{cx - 8, 3, cx + 8, kTrackBottom + 5};
  Recess(c, slot, 2, 6);
  cairo_pattern_t* floor = LinearGradient(slot.L, 0, slot.R, 0, {{0, 0x0c0d10}, {0.5, 0x1c1e23}, {1, 0x111216}});
  cairo_set_source(cr, floor);
  RoundedRect(cr, slot, 6);
  cairo_fill(cr);
  cairo_pattern_destroy(floor);
  cairo_save(cr);
  RoundedRect(cr, slot, 6);
  cairo_clip(cr);
  // The finish at the top: a chequered flag across the groove.
  const double sq = 3.2, top = 4.5;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 5; ++col) {
      SetSource(cr, (row + col) % 2 ? 0x101114 : 0xe8e8e2);
      cairo_rectangle(cr, slot.L + col * sq, top + row * sq, sq, sq);
      cairo_fill(cr);
    }
  // The start line at the bottom, and a dashed centre line between.
  SetSource(cr, 0xe8e8e2, 0.85);
  cairo_rectangle(cr, slot.L, kTrackBottom + 0.5, slot.R - slot.L, 1.5);
  cairo_fill(cr);
  SetSource(cr, 0xc8ccd2, 0.22);
  for (double y = kTrackTop + 4; y < kTrackBottom - 4; y += 12) cairo_rectangle(cr, cx - 0.5, y, 1, 6);
  cairo_fill(cr);
  // Shade under the upper lip.
  PaintBlurred(c, 2, 1, 2, 0.8, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    cairo_set_fill_rule(p, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(p, slot.L - 20, slot.T - 20, slot.R - slot.L + 40, slot.B - slot.T + 40);
    RoundedRect(p, slot, 6);
    cairo_fill(p);
  });
  cairo_restore(cr);
  // Quarter marks beside the groove.
  for (int q = 1; q < 4; ++q) {
    const double y = kTrackBottom - (kTrackBottom - kTrackTop) * q / 4.0;
    Engrave(cr, slot.L - 6, slot.L - 2.5, std::round(y));
  }
}

// ---- Icon sockets -------------------------------------------------------------

enum class TSocketMark { Weapon, Nitro };

// What an empty socket is for, pressed faintly into its floor: cross-hairs
// for the weapon, a gas bottle for the nitro.
void SocketMark(cairo_t* cr, const TBox& s, TSocketMark mark) {
  const double cx = (s.L + s.R) / 2, cy = (s.T + s.B) / 2;
  auto shape = [&](double dx, double dy) {
    cairo_new_path(cr);
    if (mark == TSocketMark::Weapon) {
      screen_art::Disc(cr, cx + dx, cy + dy, 9);
      cairo_move_to(cr, cx + dx - 14, cy + dy);
      cairo_line_to(cr, cx + dx - 4, cy + dy);
      cairo_move_to(cr, cx + dx + 4, cy + dy);
      cairo_line_to(cr, cx + dx + 14, cy + dy);
      cairo_move_to(cr, cx + dx, cy + dy - 14);
      cairo_line_to(cr, cx + dx, cy + dy - 4);
      cairo_move_to(cr, cx + dx, cy + dy + 4);
      cairo_line_to(cr, cx + dx, cy + dy + 14);
    } else {
      screen_art::RoundedRect(cr, cx + dx - 5.5, cy + dy - 8, cx + dx + 5.5, cy + dy + 13, 4);
      cairo_rectangle(cr, cx + dx - 2.5, cy + dy - 13, 5, 5);
    }
  };
  cairo_set_line_width(cr, 1.6);
  SetSource(cr, 0x000000, 0.6);
  shape(-0.6, -0.6);
  cairo_stroke(cr);
  SetSource(cr, 0x8a96a6, 0.16);
  shape(0.4, 0.5);
  cairo_stroke(cr);
}

// A stopwatch stamped beside the clock.
void Stopwatch(cairo_t* cr, double cx, double cy) {
  auto shape = [&](double dx, double dy) {
    cairo_new_path(cr);
    screen_art::Disc(cr, cx + dx, cy + dy, 8);
    cairo_move_to(cr, cx + dx, cy + dy - 8);
    cairo_line_to(cr, cx + dx, cy + dy - 11);
    cairo_move_to(cr, cx + dx - 3, cy + dy - 11.5);
    cairo_line_to(cr, cx + dx + 3, cy + dy - 11.5);
    cairo_move_to(cr, cx + dx, cy + dy);
    cairo_line_to(cr, cx + dx + 3.5, cy + dy - 4);
  };
  cairo_set_line_width(cr, 1.5);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  SetSource(cr, 0x000000, 0.7);
  shape(-0.5, -0.6);
  cairo_stroke(cr);
  SetSource(cr, 0xc0c8d4, 0.25);
  shape(0.5, 0.6);
  cairo_stroke(cr);
  SetSource(cr, 0x98a2ae);
  shape(0, 0);
  cairo_stroke(cr);
}

// Square enough that the corners of the icon plates fall on its floor.
void Socket(const TCanvas& c, const TBox& s, TSocketMark mark) {
  Recess(c, s, 3, 2.5);
  cairo_t* cr = c.Cr();
  cairo_pattern_t* floor = RadialGradient((s.L + s.R) / 2, (s.T + s.B) / 2, 2, (s.R - s.L) * 0.75,
                                          {{0, 0x1d2026}, {1, 0x08090b}});
  cairo_set_source(cr, floor);
  RoundedRect(cr, s, 2.5);
  cairo_fill(cr);
  cairo_pattern_destroy(floor);
  cairo_save(cr);
  RoundedRect(cr, s, 2.5);
  cairo_clip(cr);
  PaintBlurred(c, 2.5, 1.5, 2.5, 0.9, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    cairo_set_fill_rule(p, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(p, s.L - 20, s.T - 20, s.R - s.L + 40, s.B - s.T + 40);
    RoundedRect(p, s, 2.5);
    cairo_fill(p);
  });
  SocketMark(cr, s, mark);
  cairo_restore(cr);
}

// ---- Speedometer --------------------------------------------------------------

double PointX(double angle, double r) { return kDialX + r * std::cos(NeedleDirection(angle)); }
double PointY(double angle, double r) { return kDialY + r * std::sin(NeedleDirection(angle)); }

void Dial(const TCanvas& c) {
  cairo_t* cr = c.Cr();
  // Shadow of the raised bezel on the metal.
  PaintBlurred(c, 3, 2.5, 3.5, 0.7, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    screen_art::Disc(p, kDialX, kDialY, kBezelOuter);
    cairo_fill(p);
  });
  // The chrome bezel: bright where it faces the light, dark opposite.
  c.Flush();
  for (int y = static_cast<int>(kDialY - kBezelOuter - 1); y <= kDialY + kBezelOuter + 1; ++y) {
    if (y < 0 || y >= kPanelHeight) continue;
    uint32_t* row = c.Row(y);
    for (int x = static_cast<int>(kDialX - kBezelOuter - 1); x <= kDialX + kBezelOuter + 1; ++x) {
      if (x < 0 || x >= kPanelWidth) continue;
      const double dx = x + 0.5 - kDialX, dy = y + 0.5 - kDialY, r = std::hypot(dx, dy);
      if (r > kBezelOuter + 0.5 || r < kFaceRadius - 0.5) continue;
      const double nx = dx / r, ny = dy / r;
      const double u = (r - kFaceRadius) / (kBezelOuter - kFaceRadius);  // 0 inner edge .. 1 outer edge
      // A rounded ring: its outer half faces out, its inner half faces in.
      const double facing = (u - 0.5) * 2;
      const double lit = -(nx * 0.6 + ny * 0.8) * facing;
      const double band = 0.5 + 0.5 * std::cos(std::atan2(dy, dx) * 2 + 0.6);
      TRgb col = Mix(Hex(0x5c636d), lit > 0 ? Hex(0xf2f5f9) : Hex(0x16181c), std::min(1.0, std::abs(lit) * 1.3));
      col = Mix(col, Hex(0xc8ced6), 0.12 * band);
      const double edge = std::min(Smooth(-0.5, 0.6, r - kFaceRadius + 0.5), Smooth(-0.5, 0.6, kBezelOuter + 0.5 - r));
      const uint32_t under = row[x];
      const TRgb base = Hex(under & 0xFFFFFF);
      row[x] = 0xFF000000u | race_art::Pack(Mix(base, col, edge));
    }
  }
  c.MarkDirty();

  // The face.
  cairo_pattern_t* face = RadialGradient(kDialX - 10, kDialY - 14, 4, kFaceRadius + 8,
                                         {{0, 0x1e232a}, {0.7, 0x111419}, {1, 0x08090b}});
  cairo_set_source(cr, face);
  screen_art::Disc(cr, kDialX, kDialY, kFaceRadius);
  cairo_fill(cr);
  cairo_pattern_destroy(face);
  SetSource(cr, 0x000000);
  cairo_set_line_width(cr, 1.2);
  screen_art::Disc(cr, kDialX, kDialY, kFaceRadius - 0.3);
  cairo_stroke(cr);

  // The red zone from 140 to 170.
  cairo_set_line_width(cr, 4);
  SetSource(cr, 0xc8261a);
  cairo_new_path(cr);
  cairo_arc(cr, kDialX, kDialY, 60.5, NeedleDirection(NeedleAngle(140)), NeedleDirection(NeedleAngle(170)));
  cairo_stroke(cr);

  // Ticks every 10, long ones every 20, numbers every 20.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  for (int speed = 0; speed <= 170; speed += 10) {
    const bool major = speed % 20 == 0;
    const double a = NeedleAngle(speed);
    const double r0 = major ? 53 : 57.5, r1 = 63;
    SetSource(cr, speed >= 140 ? 0xffd8d0 : 0xe8ecf0);
    cairo_set_line_width(cr, major ? 2.2 : 1.2);
    cairo_move_to(cr, PointX(a, r0), PointY(a, r0));
    cairo_line_to(cr, PointX(a, r1), PointY(a, r1));
    cairo_stroke(cr);
  }
  SelectFont(cr, DisplayFace(12.5));
  for (int speed = 0; speed <= 160; speed += 20) {
    const double a = NeedleAngle(speed);
    const std::string text = std::to_string(speed);
    SetSource(cr, speed >= 140 ? 0xff7a66 : 0xdfe4ea);
    CentredTextPath(cr, text, PointX(a, 43), PointY(a, 43));
    cairo_fill(cr);
  }
  SelectFont(cr, DisplayFace(10));
  SetSource(cr, 0x8a94a0);
  CentredTextPath(cr, Word("км/ч", "km/h"), kDialX, kDialY + 23);
  cairo_fill(cr);

  // A soft reflection on the dial's glass, upper left.
  cairo_save(cr);
  screen_art::Disc(cr, kDialX, kDialY, kFaceRadius - 1);
  cairo_clip(cr);
  cairo_pattern_t* gloss = RadialGradient(kDialX - 30, kDialY - 40, 0, 60, {{0, 0xffffff, 0.10}, {1, 0xffffff, 0}});
  cairo_set_source(cr, gloss);
  cairo_paint(cr);
  cairo_pattern_destroy(gloss);
  cairo_restore(cr);

  // The hub the needle turns on.
  PaintBlurred(c, 1.5, 1, 1.5, 0.8, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    screen_art::Disc(p, kDialX, kDialY, 7);
    cairo_fill(p);
  });
  cairo_pattern_t* hub = RadialGradient(kDialX - 2, kDialY - 2.5, 0, 8, {{0, 0xe4e8ee}, {0.45, 0x7a828c}, {1, 0x23272d}});
  cairo_set_source(cr, hub);
  screen_art::Disc(cr, kDialX, kDialY, 6.5);
  cairo_fill(cr);
  cairo_pattern_destroy(hub);
  SetSource(cr, 0x0c0d10);
  screen_art::Disc(cr, kDialX, kDialY, 2);
  cairo_fill(cr);
}

// ---- Damage display -----------------------------------------------------------

void EnergyBay(const TCanvas& c) {
  // Set into the foot of the dial: its lip runs over the bezel.
  Recess(c, kEnergyGlass, 3, 3);
  Glass(c, kEnergyGlass, 2);
}

// The three cells of the damage display on the glass: all lit green when
// the car is whole, two amber, one red, and at the last none, their empty
// frames glowing red.
TSurface EnergyPattern(const TCanvas& panel, int pattern) {
  TCanvas c(kEnergyWidth, kEnergyHeight);
  CopyCrop(panel, static_cast<int>(kEnergyGlass.L), static_cast<int>(kEnergyGlass.T), c);
  cairo_t* cr = c.Cr();
  const int lit = 3 - pattern;
  const uint32_t colour = pattern == 0 ? 0x2aff00 : pattern == 1 ? 0xffc21a : 0xff3a1a;
  for (int cell = 0; cell < 3; ++cell) {
    const TBox b{3.5 + cell * 17.0, 4, 3.5 + cell * 17.0 + 15, 14};
    if (cell < lit) {
      PaintBlurred(c, 2.2, 0, 0, 0.75, [&](cairo_t* p) {
        SetSource(p, colour);
        RoundedRect(p, b, 1.5);
        cairo_fill(p);
      }, CAIRO_OPERATOR_ADD);
      cairo_pattern_t* cellFill =
          LinearGradient(0, b.T, 0, b.B, {{0, 0xffffff, 1.0}, {0.3, colour, 1.0}, {1, colour, 1.0}});
      cairo_set_source(cr, cellFill);
      RoundedRect(cr, b, 1.5);
      cairo_fill(cr);
      cairo_pattern_destroy(cellFill);
    } else {
      SetSource(cr, 0x1a3a1a, 0.5);
      RoundedRect(cr, b, 1.5);
      cairo_fill(cr);
      if (pattern == 3) {
        const TBox edge = Grow(b, -0.6);
        PaintBlurred(c, 1.8, 0, 0, 0.8, [&](cairo_t* p) {
          SetSource(p, 0xff2a10);
          RoundedRect(p, edge, 1.2);
          cairo_set_line_width(p, 1.2);
          cairo_stroke(p);
        }, CAIRO_OPERATOR_ADD);
        SetSource(cr, 0xff4a2a);
        cairo_set_line_width(cr, 1.1);
        RoundedRect(cr, edge, 1.2);
        cairo_stroke(cr);
      }
    }
  }
  return ToOpaqueSurface(c);
}

// ---- The needle -----------------------------------------------------------------

// Thin and tapering, its tip at the left; the base end stops short of the
// pivot, which lies 0.04 of the width beyond the right edge.
TSurface NeedlePicture() {
  TCanvas c(kNeedleWidth, kNeedleHeight);
  cairo_t* cr = c.Cr();
  const double mid = kNeedleHeight / 2.0;
  auto outline = [&](double grow) {
    cairo_new_path(cr);
    cairo_move_to(cr, 1.5 - grow, mid);
    cairo_line_to(cr, kNeedleWidth - 7, mid - 2.1 - grow);
    cairo_curve_to(cr, kNeedleWidth - 1.0 + grow, mid - 2.3 - grow, kNeedleWidth - 1.0 + grow, mid + 2.3 + grow,
                   kNeedleWidth - 7, mid + 2.1 + grow);
    cairo_close_path(cr);
  };
  SetSource(cr, 0x1a0604);
  outline(0.9);
  cairo_fill(cr);
  cairo_pattern_t* body = LinearGradient(0, mid - 2.3, 0, mid + 2.3, {{0, 0xffc0a0}, {0.4, 0xff4a22}, {1, 0x9a1406}});
  cairo_set_source(cr, body);
  outline(0);
  cairo_fill(cr);
  cairo_pattern_destroy(body);
  SetSource(cr, 0xfff0e0, 0.9);
  cairo_set_line_width(cr, 0.8);
  cairo_move_to(cr, 6, mid - 0.2);
  cairo_line_to(cr, kNeedleWidth - 10, mid - 0.6);
  cairo_stroke(cr);
  // Antialiasing does not cover the two halves quite alike; a pixel drawn
  // on one side only would make the needle wobble as it turns.
  TSurface needle = ToKeyedSurface(c, kKey);
  for (int y = 0; 2 * y + 1 < kNeedleHeight; ++y)
    for (int x = 0; x < kNeedleWidth; ++x) {
      uint32_t& top = needle.Row(y)[x];
      uint32_t& bottom = needle.Row(kNeedleHeight - 1 - y)[x];
      if ((top == kKey) != (bottom == kKey)) top = bottom = kKey;
    }
  return needle;
}

// ---- The panel ----------------------------------------------------------------

void PaintPanel(const TCanvas& c) {
  PaintMetal(c);
  cairo_t* cr = c.Cr();

  DisplayWindow(c, kLevelGlass);
  Label(c, Word("ВРЕМЯ", "TIME"), (kTimeGlass.L + kTimeGlass.R) / 2, kTimeGlass.T - 11);
  DisplayWindow(c, kTimeGlass);
  Stopwatch(cr, 21, (kTimeGlass.T + kTimeGlass.B) / 2 + 2);
  Label(c, Word("ОЧКИ", "SCORE"), (kScoreGlass.L + kScoreGlass.R) / 2, kScoreGlass.T - 11);
  DisplayWindow(c, kScoreGlass);
  ProgressGroove(c);

  Engrave(cr, 8, 150, 232);
  Screw(cr, 9, 238, 0.6);
  Screw(cr, 173, 238, 2.0);

  Label(c, Word("ОРУЖИЕ", "WEAPON"), (kWeaponSocket.L + kWeaponSocket.R) / 2, kWeaponSocket.T - 10, 10);
  Socket(c, kWeaponSocket, TSocketMark::Weapon);
  Label(c, Word("ПАТРОНЫ", "AMMO"), (kAmmoGlass.L + kAmmoGlass.R) / 2, kAmmoGlass.T - 11, 10.5);
  DisplayWindow(c, kAmmoGlass);

  Label(c, Word("ЖИЗНИ", "LIVES"), 96, (kLivesGlass.T + kLivesGlass.B) / 2);
  TinyCar(cr, 124, 316, 13, 22, 0xff8a70, 0xe0281c, 0x6a0c08);
  DisplayWindow(c, kLivesGlass);

  Socket(c, kNitroSocket, TSocketMark::Nitro);
  Label(c, Word("НИТРО", "NITRO"), (kNitroGlass.L + kNitroGlass.R) / 2, kNitroGlass.T - 11);
  DisplayWindow(c, kNitroGlass);

  Engrave(cr, 8, 174, 424);
  Dial(c);
  EnergyBay(c);
  Screw(cr, 9, 584, 1.1);
  Screw(cr, 173, 584, 2.6);
  AddGrain(c, 0.012, kSeed + 7);
}

const TCanvas& PanelCanvas() {
  static const TCanvas canvas(kPanelWidth, kPanelHeight);
  static const bool painted = (PaintPanel(canvas), true);
  (void)painted;
  return canvas;
}

}  // namespace

void AddPanelArt(TImageItems& res2) {
  const TCanvas& panel = PanelCanvas();
  res2.push_back(OpaquePicture("Panel", ToOpaqueSurface(panel)));
  {
    gEnglish = true;
    const TCanvas english(kPanelWidth, kPanelHeight);
    PaintPanel(english);
    gEnglish = false;
    res2.push_back(OpaquePicture("Panel_En", ToOpaqueSurface(english)));
  }
  res2.push_back(KeyedPicture("Pointer", NeedlePicture(), kKey));
  res2.push_back(KeyedPicture("SmallCar", SmallCarPicture(), kKey));
  std::vector<TSurface> energy;
  for (int p = 0; p < kEnergyPatterns; ++p) energy.push_back(EnergyPattern(panel, p));
  res2.push_back(OpaquePicture("Energy", race_art::PatternRow(energy), kEnergyWidth, kEnergyHeight));
}

namespace {

// One look of the dashboard through the game's own drawing and text code.
void ComposeDashboard(const TImageItems& res2, screen_art::TScreenPage& page, int angle, int energyPattern,
                      double carY, bool weapon, bool nitro) {
  page.Draw(res2, "Panel", 0, kPanelLeft, 0);
  const TPictureCollectionItem& needle = FindPicture(res2, "Pointer");
  needle.DrawRotate(BackSurface, needle.Width() + 641, needle.Height() + 509, needle.Width(), needle.Height(), 0,
                    kPivotFractionX, 0.5, angle);
  page.Draw(res2, "SmallCar", 0, 773, static_cast<int>(carY));
  page.Draw(res2, "Energy", energyPattern, 672, 558);
  if (nitro) page.Draw(res2, "BonusNitro", 0, 628, 363);
  if (weapon) page.Draw(res2, "BonusM", 0, 627, 251);
  page.Text(18, "УРОВЕНЬ 1", 690, 28, true, true);
  page.Text(18, "00 : 54", 705, 117, true, true);
  page.Text(18, "12450", 692, 202, true, true);
  page.Text(18, "3", 775, 327, true, true);
  if (nitro) page.Text(18, "100", 760, 384, true, true);
  if (weapon) page.Text(18, "25", 763, 272, true, true);
}

void WriteZoomed(const std::string& path, int x, int y, int w, int h, int zoom) {
  TCanvas shot(w * zoom, h * zoom);
  TSurface crop;
  crop.Resize(w, h);
  for (int row = 0; row < h; ++row)
    std::copy(BackSurface.Row(y + row) + x, BackSurface.Row(y + row) + x + w, crop.Row(row));
  TCanvas small(w, h);
  BlitSurface(small, crop, 0, 0);
  cairo_t* cr = shot.Cr();
  cairo_scale(cr, zoom, zoom);
  cairo_set_source_surface(cr, small.Surface(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  WritePng(shot, path);
}

}  // namespace

void WritePanelPreviews(const TImageItems&, const TImageItems& res2, const std::string& dir) {
  const std::string out = dir + "/race";
  std::filesystem::create_directories(out);
  struct TLook {
    const char* Name;
    int Angle, Energy;
    double CarY;
    bool Weapon, Nitro;
  };
  constexpr TLook kLooks[] = {{"panel_rest", -28, 0, 192, false, false},
                              {"panel_mid", 60, 1, 110, true, true},
                              {"panel_top", 168, 2, 15, true, false}};
  for (const TLook& look : kLooks) {
    screen_art::TScreenPage page;
    ComposeDashboard(res2, page, look.Angle, look.Energy, look.CarY, look.Weapon, look.Nitro);
    page.Save(out + "/" + look.Name + ".png");
    WriteZoomed(out + "/" + look.Name + "_x2.png", kPanelLeft, 0, kPanelWidth, kPanelHeight, 2);
  }
  screen_art::TScreenPage page;
  for (int p = 0; p < kEnergyPatterns; ++p) {
    ComposeDashboard(res2, page, static_cast<int>(std::lround(NeedleAngle(40 * p))), p, 100, false, false);
    WriteZoomed(out + "/dial_energy" + std::to_string(p) + ".png", kPanelLeft + 10, 430, 170, 162, 3);
  }
}
