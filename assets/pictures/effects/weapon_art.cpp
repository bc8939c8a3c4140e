// The roof weapons are drawn as small solid models seen from straight above:
// each part is a box or a cylinder laid along the weapon's axis, which
// swings about the mount's trunnion, so the unfolding frames show the gun
// turning over through upright (its muzzle end-on) rather than a picture
// merely stretched. Faces are lit from the top left like the cars; every
// part gets a dark rim, so the weapon reads on a red, white or black roof.
// Keyed pictures cannot blend, so edges are antialiased against that dark
// rim colour, the same way the car sprites are.
#include "assets/pictures/effects/weapon_art.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <vector>

#include "gfx/png_write.h"
#include "assets/paint/fireball.h"
#include "assets/paint/flame_jet.h"
#include "assets/paint/paint.h"
#include "race/player/car_tables.h"
#include "assets/paint/race_art_pixels.h"

using namespace race_art;
using weapons::FlashRoom;
using weapons::FrameHeight;
using weapons::FrameWidth;
using weapons::MountRow;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kMountX = FrameWidth / 2.0;
constexpr uint32_t kRim = 0x111215;

// ---- Light and colour -------------------------------------------------------

struct TVec3 {
  double X = 0, Y = 0, Z = 0;
};
double Dot(TVec3 a, TVec3 b) { return a.X * b.X + a.Y * b.Y + a.Z * b.Z; }
TVec3 Unit(TVec3 v) {
  const double l = std::sqrt(Dot(v, v));
  return l > 0 ? TVec3{v.X / l, v.Y / l, v.Z / l} : TVec3{0, 0, 1};
}

// x right, y towards the car's tail, z up; the light comes from the top
// left of the screen and from above.
const TVec3 kToLight = Unit({-0.45, -0.55, 0.75});
const TVec3 kHalfway = Unit({kToLight.X, kToLight.Y, kToLight.Z + 1});

TRgb Lit(TRgb base, TVec3 normal, double gloss = 0.45) {
  const TVec3 n = Unit(normal);
  const double diffuse = std::max(0.0, Dot(n, kToLight));
  const double shine = std::pow(std::max(0.0, Dot(n, kHalfway)), 28);
  return Mix(Scale(base, 0.38 + 0.8 * diffuse), Hex(0xffffff), gloss * shine);
}

void Source(cairo_t* cr, TRgb c) { cairo_set_source_rgb(cr, Clamp01(c.R), Clamp01(c.G), Clamp01(c.B)); }

const TRgb kGunmetal = Hex(0x6c737e);
const TRgb kDarkSteel = Hex(0x3f444c);
const TRgb kOlive = Hex(0x5c6640);
const TRgb kBrass = Hex(0xc09a48);
const TRgb kRocketWhite = Hex(0xe4e2da);
const TRgb kWarhead = Hex(0xd42a1e);

// ---- The swinging axis --------------------------------------------------------

// The weapon's own frame: x across, s along the barrel from the trunnion,
// t off the axis on the side that faces the sky. Beta 0 lies folded back
// flat (muzzle to the tail), Beta pi lies forward flat (muzzle to the nose).
struct TAxis {
  double PivotY, Height;
  double Cb, Sb, Uy, Uz;

  TAxis(double pivotY, double height, double betaDegrees) : PivotY(pivotY), Height(height) {
    const double b = betaDegrees * kPi / 180;
    Cb = std::cos(b);
    Sb = std::sin(b);
    Uy = -Sb;
    Uz = Cb;
    if (Uz < 0) Uy = -Uy, Uz = -Uz;
  }
  TVec3 At(double x, double s, double t) const {
    return {kMountX + x, PivotY + s * Cb + t * Uy, Height + s * Sb + t * Uz};
  }
  TVec3 Along() const { return {0, Cb, Sb}; }
  TVec3 Up() const { return {0, Uy, Uz}; }
};

void Polygon(cairo_t* cr, const TVec3* p, int n) {
  cairo_move_to(cr, p[0].X, p[0].Y);
  for (int i = 1; i < n; ++i) cairo_line_to(cr, p[i].X, p[i].Y);
  cairo_close_path(cr);
}

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
  if (rx <= 0.01 || ry <= 0.01) return;
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
}

// The current path, rimmed: stroked dark first so the rim reaches a little
// outside the part, then filled by the caller.
void RimPath(cairo_t* cr, double width = 1.7) {
  cairo_save(cr);
  Source(cr, Hex(kRim));
  cairo_set_line_width(cr, width);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke_preserve(cr);
  cairo_restore(cr);
}

// A gradient across x: a metal face a little brighter on the side towards
// the light.
void FillAcross(cairo_t* cr, double x0, double x1, TRgb c) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x1, 0);
  const TRgb a = Scale(c, 1.12), b = Scale(c, 0.86);
  cairo_pattern_add_color_stop_rgb(p, 0, Clamp01(a.R), Clamp01(a.G), Clamp01(a.B));
  cairo_pattern_add_color_stop_rgb(p, 1, Clamp01(b.R), Clamp01(b.G), Clamp01(b.B));
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// A box x0..x1 by s0..s1, t thick either side of the axis. Seen from above
// are its sky face and, once the axis rises, its front end.
void Box(cairo_t* cr, const TAxis& a, double x0, double x1, double s0, double s1, double t, TRgb base) {
  const TVec3 top[4] = {a.At(x0, s0, t), a.At(x1, s0, t), a.At(x1, s1, t), a.At(x0, s1, t)};
  const TVec3 end[4] = {a.At(x0, s1, -t), a.At(x1, s1, -t), a.At(x1, s1, t), a.At(x0, s1, t)};
  const bool endShows = a.Sb > 0.03;
  Polygon(cr, top, 4);
  if (endShows) Polygon(cr, end, 4);
  RimPath(cr);
  cairo_new_path(cr);
  Polygon(cr, top, 4);
  FillAcross(cr, x0 + kMountX, x1 + kMountX, Lit(base, a.Up()));
  if (endShows) {
    Polygon(cr, end, 4);
    Source(cr, Lit(base, a.Along()));
    cairo_fill(cr);
  }
}

// A round part along the axis; seen from above it is a band with the
// upper end's disc showing as the axis rises. `bore` darkens a muzzle.
void Cylinder(cairo_t* cr, const TAxis& a, double cx, double tc, double r, double s0, double s1, TRgb base,
              bool bore = false) {
  const TVec3 p0 = a.At(cx, s0, tc), p1 = a.At(cx, s1, tc);
  const double ry = r * std::abs(a.Uy);
  auto silhouette = [&] {
    cairo_rectangle(cr, kMountX + cx - r, std::min(p0.Y, p1.Y), 2 * r, std::abs(p1.Y - p0.Y));
    Ellipse(cr, p0.X, p0.Y, r, ry);
    Ellipse(cr, p1.X, p1.Y, r, ry);
  };
  silhouette();
  RimPath(cr);
  cairo_new_path(cr);
  silhouette();
  // Round in section: the normal turns from the left edge over the top to
  // the right edge.
  cairo_pattern_t* g = cairo_pattern_create_linear(kMountX + cx - r, 0, kMountX + cx + r, 0);
  for (int i = 0; i <= 8; ++i) {
    const double xi = -1 + i / 4.0;
    const double up = std::sqrt(std::max(0.0, 1 - xi * xi));
    const TRgb c = Lit(base, {xi, a.Uy * up, a.Uz * up}, 0.6);
    cairo_pattern_add_color_stop_rgb(g, i / 8.0, Clamp01(c.R), Clamp01(c.G), Clamp01(c.B));
  }
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  if (a.Sb > 0.03 && ry > 0.2) {
    Ellipse(cr, p1.X, p1.Y, r, ry);
    Source(cr, Lit(base, a.Along()));
    cairo_fill(cr);
    if (bore) {
      Ellipse(cr, p1.X, p1.Y, r * 0.5, ry * 0.5);
      Source(cr, Hex(0x08080a));
      cairo_fill(cr);
    }
  }
}

// ---- The mount, shared by both weapons -------------------------------------------

// A bolted turntable on the roof with its dark well.
void Mount(cairo_t* cr, double cy) {
  Ellipse(cr, kMountX, cy, 9.6, 9.6);
  Source(cr, Hex(kRim));
  cairo_fill(cr);
  cairo_pattern_t* g = cairo_pattern_create_radial(kMountX - 3, cy - 3, 1, kMountX, cy, 9);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.52, 0.55, 0.60);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.22, 0.24, 0.27);
  Ellipse(cr, kMountX, cy, 8.6, 8.6);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  for (int i = 0; i < 8; ++i) {
    const double a = i * kPi / 4 + kPi / 8;
    Ellipse(cr, kMountX + 7 * std::cos(a), cy + 7 * std::sin(a), 0.8, 0.8);
    Source(cr, i < 4 ? Hex(0x2a2d32) : Hex(0x9aa0a8));
    cairo_fill(cr);
  }
  Ellipse(cr, kMountX, cy, 5.2, 5.2);
  Source(cr, Hex(0x1a1c20));
  cairo_fill(cr);
}

// ---- The machine gun --------------------------------------------------------------

constexpr double kTrunnionHeight = 6;
constexpr double kMuzzle = 44;  // from the trunnion along the barrel

struct TGunPose {
  double Beta;    // the swing, degrees (see TAxis)
  double Shield;  // 0 folded flat forward on the roof, 1 upright
};
constexpr TGunPose kGunPoses[6] = {{0, 0}, {38, 0.22}, {76, 0.5}, {110, 0.78}, {148, 0.94}, {180, 1}};

// The armoured plate in front of the mount, hinged at its foot.
void Shield(cairo_t* cr, double pivotY, double raised) {
  const double g = raised * kPi / 2;
  const double hingeY = pivotY - 11, length = 7.5, thick = 1.6;
  const double ce = std::cos(g), se = std::sin(g);
  // Plate points: along its length e = (0, -cos, sin), through it n = (0, sin, cos).
  auto at = [&](double x, double along, double through) {
    return TVec3{kMountX + x, hingeY - along * ce + through * se, along * se + through * ce};
  };
  const double foot = 10.5, tip = 8;
  const TVec3 face[4] = {at(-foot, 0, thick), at(foot, 0, thick), at(tip, length, thick), at(-tip, length, thick)};
  const TVec3 edge[4] = {at(-tip, length, 0), at(tip, length, 0), at(tip, length, thick), at(-tip, length, thick)};
  Polygon(cr, face, 4);
  Polygon(cr, edge, 4);
  RimPath(cr);
  cairo_new_path(cr);
  if (ce > 0.05) {
    Polygon(cr, face, 4);
    FillAcross(cr, kMountX - foot, kMountX + foot, Lit(kOlive, {0, se, ce}, 0.25));
    // A row of rivets across the plate.
    for (int i = -2; i <= 2; ++i) {
      const TVec3 r = at(i * 3.6, length * 0.55, thick);
      Ellipse(cr, r.X, r.Y, 0.6, 0.6 * ce);
      Source(cr, Hex(0x2e331f));
      cairo_fill(cr);
    }
  }
  Polygon(cr, edge, 4);
  Source(cr, Lit(kOlive, {0, -ce, se}, 0.25));
  cairo_fill(cr);
}

void Gun(cairo_t* cr, const TGunPose& pose, double pivotY) {
  Mount(cr, pivotY);
  Shield(cr, pivotY, pose.Shield);
  // The yoke's two cheeks hold the trunnion either side of the receiver.
  for (int side : {-1, 1}) {
    const double x0 = side < 0 ? -7.4 : 5.0, x1 = x0 + 2.4;
    cairo_rectangle(cr, kMountX + x0, pivotY - 3, x1 - x0, 6);
    RimPath(cr, 1.4);
    FillAcross(cr, kMountX + x0, kMountX + x1, Lit(kDarkSteel, {0, 0, 1}));
  }

  const TAxis a(pivotY, kTrunnionHeight, pose.Beta);
  // Receiver with its feed cover.
  Box(cr, a, -4.6, 4.6, -6.5, 9, 3, kGunmetal);
  if (std::abs(a.Cb) > 0.3) {
    for (double s : {-3.0, 4.5}) {
      const TVec3 l0 = a.At(-3.6, s, 3), l1 = a.At(3.6, s, 3);
      cairo_move_to(cr, l0.X, l0.Y);
      cairo_line_to(cr, l1.X, l1.Y);
    }
    Source(cr, Hex(0x2a2d33));
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
  }
  // The ammunition box on the left, its belt running into the receiver.
  Box(cr, a, -13.2, -7.6, -5, 3.5, 3.2, kOlive);
  if (std::abs(a.Cb) > 0.3) {
    for (int i = 0; i < 4; ++i) {
      const double x = -7.3 + i * 0.8;
      const TVec3 c0 = a.At(x, -2.2, 2.2), c1 = a.At(x, 1.8, 2.2);
      cairo_rectangle(cr, c0.X - 0.35, std::min(c0.Y, c1.Y), 0.7, std::abs(c1.Y - c0.Y));
    }
    Source(cr, Lit(kBrass, a.Up(), 0.7));
    cairo_fill(cr);
  }
  // Cooled barrel jacket with its slots, the bare barrel, the flash hider.
  Cylinder(cr, a, 0, 0, 3.3, 9, 29, kDarkSteel);
  if (std::abs(a.Cb) > 0.45) {
    for (int i = 0; i < 5; ++i) {
      const TVec3 slot = a.At(-0.3, 11.5 + i * 3.8, 3.2);
      Ellipse(cr, slot.X, slot.Y, 0.85, 1.1 * std::abs(a.Cb));
      Source(cr, Hex(0x0c0d10));
      cairo_fill(cr);
    }
  }
  Cylinder(cr, a, 0, 0, 1.5, 29, 39, kGunmetal);
  Cylinder(cr, a, 0, 0, 2.3, 39, kMuzzle, kDarkSteel, true);
}

// The flame at the muzzle of the raised gun: a star of white, yellow and
// orange, longest forward, with a few sparks.
void MuzzleFlash(cairo_t* cr, double tipX, double tipY) {
  struct TRay {
    double Angle, Length;  // degrees clockwise from forward, pixels
  };
  static constexpr TRay kRays[] = {{-110, 6}, {-72, 11}, {-40, 17}, {-18, 15}, {0, 30},
                                   {18, 14},  {40, 18},  {72, 10},  {110, 6}};
  constexpr int kCount = static_cast<int>(std::size(kRays));
  // Points at the rays' ends, with a waist between each pair of rays.
  auto star = [&](double scale, double waist) {
    for (int i = 0; i < kCount; ++i) {
      const double a = kRays[i].Angle * kPi / 180, len = kRays[i].Length * scale;
      const double next = i + 1 < kCount ? kRays[i + 1].Angle : kRays[0].Angle + 360;
      const double mid = (kRays[i].Angle + next) / 2 * kPi / 180;
      const double x = tipX + len * std::sin(a), y = tipY - 2 - len * std::cos(a);
      if (i == 0)
        cairo_move_to(cr, x, y);
      else
        cairo_line_to(cr, x, y);
      cairo_line_to(cr, tipX + waist * std::sin(mid), tipY - 2 - waist * std::cos(mid));
    }
    cairo_close_path(cr);
  };
  star(1.0, 5.0);
  Source(cr, Hex(0xe8641a));
  cairo_fill(cr);
  star(0.76, 3.8);
  Source(cr, Hex(0xffb62e));
  cairo_fill(cr);
  star(0.5, 2.8);
  Source(cr, Hex(0xfff0a0));
  cairo_fill(cr);
  Ellipse(cr, tipX, tipY - 4, 2.6, 4);
  Source(cr, Hex(0xffffff));
  cairo_fill(cr);
  static constexpr double kSparks[][2] = {{-7, -24}, {6, -28}, {11, -13}, {-12, -11}};
  for (const auto& s : kSparks) {
    Ellipse(cr, tipX + s[0], tipY + s[1], 1.1, 1.1);
    Source(cr, Hex(0xffe27a));
    cairo_fill(cr);
  }
}

// ---- The rocket launcher -------------------------------------------------------------

struct TLauncherPose {
  double Spread;     // x of each pod's middle
  double Elevation;  // degrees the pods' fronts are raised
  double Lid;        // degrees each lid has turned up about its outer edge
  double Slide;      // 0 rockets home in the pods, 1 pushed forward
};
constexpr TLauncherPose kLauncherPoses[6] = {{5.0, 0, 0, 0},    {5.6, 3, 42, 0},   {7.0, 6, 78, 0.1},
                                             {8.6, 8, 96, 0.4}, {9.6, 8, 96, 0.8}, {10.0, 8, 96, 1}};

constexpr double kPodHalf = 5, kPodThick = 2, kRocketR = 1.9;
constexpr double kPodBack = -12, kPodFront = 14;

// One launch rocket lying on its pod: white body, dark fins at the tail,
// red warhead.
void PodRocket(cairo_t* cr, const TAxis& a, double cx, double slide) {
  const double tc = kPodThick + kRocketR, back = -10.5 + 7 * slide, front = 7.5 + 10 * slide;
  Cylinder(cr, a, cx, tc, kRocketR + 0.5, back, back + 3.5, kDarkSteel);
  Cylinder(cr, a, cx, tc, kRocketR, back + 3.5, front, kRocketWhite);
  // The warhead: an ogive to a point.
  const TVec3 base = a.At(cx, front, tc), tip = a.At(cx, front + 5, tc);
  auto ogive = [&] {
    cairo_move_to(cr, base.X - kRocketR, base.Y);
    cairo_curve_to(cr, base.X - kRocketR, base.Y + (tip.Y - base.Y) * 0.55, tip.X - 0.6, tip.Y, tip.X, tip.Y);
    cairo_curve_to(cr, tip.X + 0.6, tip.Y, base.X + kRocketR, base.Y + (tip.Y - base.Y) * 0.55, base.X + kRocketR,
                   base.Y);
    cairo_close_path(cr);
  };
  ogive();
  RimPath(cr, 1.4);
  cairo_new_path(cr);
  ogive();
  FillAcross(cr, base.X - kRocketR, base.X + kRocketR, Lit(kWarhead, {0, 0, 1}, 0.6));
}

// A lid over one pod, hinged along the pod's outer edge.
void Lid(cairo_t* cr, const TAxis& a, double podX, int side, double turned) {
  const double g = turned * kPi / 180;
  const double hingeX = podX + side * kPodHalf, width = 2 * kPodHalf;
  const double innerX = hingeX - side * width * std::cos(g);
  const double t = kPodThick + 2 * kRocketR + 0.4 + width * std::sin(g) * 0.15;
  double x0 = std::min(hingeX, innerX), x1 = std::max(hingeX, innerX);
  if (x1 - x0 < 1.2) {
    const double m = (x0 + x1) / 2;
    x0 = m - 0.6, x1 = m + 0.6;
  }
  const TVec3 p[4] = {a.At(x0, kPodBack + 0.5, t), a.At(x1, kPodBack + 0.5, t), a.At(x1, kPodFront - 0.5, t),
                      a.At(x0, kPodFront - 0.5, t)};
  Polygon(cr, p, 4);
  RimPath(cr, 1.5);
  // Lying flat it faces the sky; turned up it shows its inside edge-on.
  const double nz = std::abs(std::cos(g)) + 0.25;
  FillAcross(cr, p[0].X, p[1].X, Lit(kOlive, {side * std::sin(g) * (std::cos(g) < 0 ? -1 : 1), 0, nz}, 0.3));
  if (std::cos(g) > 0.4) {
    // Stencilled arrow on the closed lid.
    const TVec3 m = a.At((hingeX + innerX) / 2, 3, t);
    cairo_move_to(cr, m.X, m.Y - 4);
    cairo_line_to(cr, m.X + 2, m.Y - 1);
    cairo_line_to(cr, m.X - 2, m.Y - 1);
    cairo_close_path(cr);
    Source(cr, Hex(0xd8c860));
    cairo_fill(cr);
  }
}

void Launcher(cairo_t* cr, const TLauncherPose& pose, double pivotY) {
  Mount(cr, pivotY);
  const TAxis a(pivotY, 6, 180 - pose.Elevation);
  const double reach = pose.Spread + kPodHalf - 1;
  // The cross-arm the two pods ride on, on its post.
  Box(cr, a, -3.5, 3.5, -3.5, 3.5, 1.5, kDarkSteel);
  Box(cr, a, -reach, reach, -2.2, 2.2, 1.2, kDarkSteel);
  for (int side : {-1, 1}) {
    const double x = side * pose.Spread;
    Box(cr, a, x - kPodHalf, x + kPodHalf, kPodBack, kPodFront, kPodThick, kOlive);
    // Rails between the rockets.
    const TVec3 r0 = a.At(x, kPodBack + 1, kPodThick), r1 = a.At(x, kPodFront - 1, kPodThick);
    cairo_move_to(cr, r0.X, r0.Y);
    cairo_line_to(cr, r1.X, r1.Y);
    Source(cr, Hex(0x23271a));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    for (double dx : {-2.4, 2.4}) PodRocket(cr, a, x + dx, pose.Slide);
    Lid(cr, a, x, side, pose.Lid);
  }
}

// ---- Frames -------------------------------------------------------------------------

// Coverage of at least this much is drawn; the rest is key.
constexpr uint32_t kMinCover = 100;

// The canvas as a keyed picture, its edges mixed into the dark rim colour.
// A weapon standing on the roof also casts a shadow `shadow` pixels to the
// bottom right; the picture cannot blend, so the shadow is every other
// pixel of the rim colour, which reads as a half-dark shade over any paint.
TSurface KeyedOverRim(const paint::TCanvas& canvas, int shadow = 0) {
  canvas.Flush();
  const int w = canvas.Width(), h = canvas.Height();
  auto cover = [&](int x, int y) { return x < 0 || y < 0 || x >= w || y >= h ? 0u : canvas.Row(y)[x] >> 24; };
  TSurface s;
  s.Resize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t p = canvas.Row(y)[x], a = p >> 24;
      if (a < kMinCover) {
        const bool shaded = shadow > 0 && cover(x - shadow, y - shadow) >= 128 && ((x + y) & 1) == 0;
        s.Row(y)[x] = shaded ? kRim : kKey;
        continue;
      }
      uint32_t rgb = 0;
      for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t under = ((kRim >> shift) & 0xFF) * (255 - a) / 255;
        rgb |= std::min<uint32_t>(255, ((p >> shift) & 0xFF) + under) << shift;
      }
      s.Row(y)[x] = rgb == kKey ? rgb ^ 1 : rgb;
    }
  return s;
}

// Folded flat the weapons hug the roof; from the second frame on they stand up off it.
int ShadowOf(int frame) { return frame == 1 ? 1 : 2; }

TSurface GunFrame(int frame) {
  paint::TCanvas c(FrameWidth, FrameHeight);
  Gun(c.Cr(), kGunPoses[frame - 1], MountRow);
  return KeyedOverRim(c, ShadowOf(frame));
}

TSurface GunShootingFrame() {
  paint::TCanvas c(FrameWidth, FrameHeight + FlashRoom);
  Gun(c.Cr(), kGunPoses[5], MountRow + FlashRoom);
  MuzzleFlash(c.Cr(), kMountX, MountRow + FlashRoom - kMuzzle);
  return KeyedOverRim(c, ShadowOf(6));
}

TSurface LauncherFrame(int frame) {
  paint::TCanvas c(FrameWidth, FrameHeight);
  Launcher(c.Cr(), kLauncherPoses[frame - 1], MountRow);
  return KeyedOverRim(c, ShadowOf(frame));
}

// ---- The flying rocket ---------------------------------------------------------------

constexpr int kRocketWidth = 12, kRocketHeight = 24;

TSurface RocketPicture() {
  paint::TCanvas c(kRocketWidth, kRocketHeight);
  cairo_t* cr = c.Cr();
  const double mid = kRocketWidth / 2.0, r = 2.6;
  auto fins = [&] {
    for (int side : {-1, 1}) {
      cairo_move_to(cr, mid + side * r, 14.5);
      cairo_line_to(cr, mid + side * 5.4, 20.5);
      cairo_line_to(cr, mid + side * 5.4, 23.2);
      cairo_line_to(cr, mid + side * r, 21.5);
      cairo_close_path(cr);
    }
  };
  auto body = [&] {
    cairo_move_to(cr, mid, 0.6);
    cairo_curve_to(cr, mid + 1.2, 0.8, mid + r, 3.6, mid + r, 7);
    cairo_line_to(cr, mid + r, 21.8);
    cairo_line_to(cr, mid + 1.6, 23.4);
    cairo_line_to(cr, mid - 1.6, 23.4);
    cairo_line_to(cr, mid - r, 21.8);
    cairo_line_to(cr, mid - r, 7);
    cairo_curve_to(cr, mid - r, 3.6, mid - 1.2, 0.8, mid, 0.6);
    cairo_close_path(cr);
  };
  fins();
  body();
  RimPath(cr, 1.5);
  cairo_new_path(cr);
  fins();
  FillAcross(cr, mid - 5.4, mid + 5.4, Hex(0x3c4048));
  body();
  cairo_pattern_t* g = cairo_pattern_create_linear(mid - r, 0, mid + r, 0);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.66, 0.66, 0.64);
  cairo_pattern_add_color_stop_rgb(g, 0.3, 1.0, 1.0, 0.98);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.55, 0.55, 0.54);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  // Warhead, a band, the dorsal fin down the middle and the nozzle.
  cairo_save(cr);
  body();
  cairo_clip(cr);
  cairo_rectangle(cr, 0, 0, kRocketWidth, 6.5);
  cairo_pattern_t* w = cairo_pattern_create_linear(mid - r, 0, mid + r, 0);
  cairo_pattern_add_color_stop_rgb(w, 0, 0.55, 0.10, 0.07);
  cairo_pattern_add_color_stop_rgb(w, 0.3, 1.0, 0.32, 0.22);
  cairo_pattern_add_color_stop_rgb(w, 1, 0.45, 0.07, 0.05);
  cairo_set_source(cr, w);
  cairo_fill(cr);
  cairo_pattern_destroy(w);
  cairo_rectangle(cr, 0, 10, kRocketWidth, 1.2);
  Source(cr, Hex(0x2a2c31));
  cairo_fill(cr);
  cairo_rectangle(cr, mid - 0.6, 15, 1.2, 7);
  Source(cr, Hex(0x3c4048));
  cairo_fill(cr);
  cairo_rectangle(cr, 0, 21.8, kRocketWidth, 2);
  Source(cr, Hex(0x17181b));
  cairo_fill(cr);
  cairo_restore(cr);
  return KeyedOverRim(c);
}

// ---- The rocket's flame ----------------------------------------------------------------

// 18 x 50: the rocket draws it from its own tail down, nozzle at the top.
constexpr int kFireWidth = 18, kFireHeight = 50, kFirePatterns = 6;

TRgb FireColour(double heat) {
  static constexpr TRampStop kRamp[] = {{0.00, 0x5a1a0c}, {0.18, 0xa8280c}, {0.36, 0xe8561a},
                                        {0.55, 0xffa030}, {0.75, 0xffe27a}, {0.92, 0xfffbe8}};
  return Ramp(kRamp, heat);
}

// Narrow at the nozzle, a bright bulb just behind it, then a tapering,
// wavering tongue and a thin trail of smoke-red at the end.
double FireHalfWidth(double u) { return 2.4 + 4.2 * std::sin(std::min(1.0, u * 2.2) * kPi / 2) * std::pow(1 - u, 0.7); }

double FireHeat(double u, double s, double n) {
  return (1.05 - 1.1 * u) * (1 - 0.7 * s) + 0.15 * n + 0.25 * std::exp(-std::pow((u - 0.1) / 0.08, 2));
}

TFlameJet RocketFlame(int pattern) {
  static constexpr double kLength[kFirePatterns] = {40, 46, 37, 44, 49, 39};
  return {.Width = kFireWidth, .Height = kFireHeight, .NozzleY = 0, .Length = kLength[pattern],
          .HalfWidth = FireHalfWidth, .Sway = 1.1, .SwayRate = 9, .SwayPhase = pattern * 1.7, .Reach = 1.2,
          .FlickerSeed = 0x45464952u + pattern * 97u, .FlickerX = 0.35, .FlickerY = 0.14, .FlickerDrift = pattern * 2.3,
          .Body = 1.15, .Cover = 1.5, .CoverFlicker = 1.3, .FadeFrom = 0.6, .Heat = FireHeat, .Colour = FireColour};
}

// ---- The rocket blast -----------------------------------------------------------------

// Smaller and sharper than a car going up: a white flash with a ring of
// sparks, a fireball that cools from yellow through orange to black smoke,
// and the smoke rolling away and thinning out.
constexpr int kBlastSize = 64, kBlastFrames = 14;
constexpr double kBlastMid = kBlastSize / 2.0;
constexpr uint32_t kBlastSeed = 0x524b5442;  // "RKTB"

struct TSpark {
  double DirX, DirY, Reach, Life;  // Life: share of the blast it glows for
};

TRgb BlastColour(double heat, double age) {
  static constexpr TRampStop kRamp[] = {{0.00, 0x141212}, {0.14, 0x2c2420}, {0.28, 0x5a2614}, {0.42, 0xb23a10},
                                        {0.58, 0xf2761a}, {0.74, 0xffbc40}, {0.88, 0xfff0a8}, {1.00, 0xffffff}};
  heat = Clamp01(heat);
  const TRgb c = Ramp(kRamp, heat);
  // Old smoke greys a little as it spreads.
  return Mix(c, Hex(0x45403d), (1 - Smooth(0.0, 0.25, heat)) * Smooth(0.5, 1.0, age) * 0.6);
}

// A rocket's billows fly out sharper and cool faster than a car's; they
// swell to twice their first size and thin away from about half their time.
double BillowHeat(double weight, double tau, double s, double cooling) {
  return weight * Clamp01(1.15 - tau * 1.7 * cooling) * (1.05 - 0.35 * s);
}
constexpr TBillowing kBillowing = {.SpreadPower = 4, .SizeFrom = 0.6, .SizeGrowth = 0.6, .Reach = 1.7, .Fray = 0.6,
                                   .FrayScale = 0.18, .FrayDrift = 1.9, .FadeFrom = 0.45, .FadeTo = 1.0,
                                   .Heat = BillowHeat};

TSurface BlastFrame(int frame, const std::vector<TBillow>& billows, const std::vector<TSpark>& sparks) {
  // The last pattern still shows the smoke thinning out; the blast ends
  // when the animation wraps past it.
  const double t = static_cast<double>(frame) / kBlastFrames;
  const paint::TValueNoise roll(kBlastSeed + 7);
  const int n = kBlastSize;
  auto burn = [&](double heat, double px, double py) {
    const double fromMid = std::hypot(px - kBlastMid, py - kBlastMid);
    const double embers = roll.Fbm(px * 0.13 - 11.1, py * 0.13 + t * 2.6, 3) - 0.5;
    return heat - 0.3 * Smooth(5, 24, fromMid) * Smooth(0.05, 0.3, t) + 0.45 * embers * Smooth(0.15, 0.4, t);
  };
  TPixelLayer layer(n, n);
  LayCloud(layer, BillowCloud(n, kBlastMid, billows, kBillowing, roll, t, burn), t, BlastColour, 0.1, 1.8);

  // The flash: a white core and short rays.
  if (frame <= 1) {
    const double size = frame == 0 ? 1.0 : 0.7;
    for (int ray = 0; ray < 10; ++ray) {
      const double a = ray * kPi / 5 + 0.2;
      const double len = (ray % 2 ? 12 : 20) * size;
      for (double s = 3; s < len; s += 0.35) {
        const double k = 1 - s / len;
        layer.Over(static_cast<int>(kBlastMid + std::cos(a) * s), static_cast<int>(kBlastMid + std::sin(a) * s),
                   Mix(Hex(0xffa030), Hex(0xfffae0), k), 0.3 + k);
      }
    }
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        const double r = std::hypot(x + 0.5 - kBlastMid, y + 0.5 - kBlastMid);
        if (r < 6 * size) layer.Over(x, y, Hex(0xffffff), 1.3 - r / (6 * size));
      }
  }
  // Sparks fly out with hot streaks behind them during the first half.
  for (const TSpark& sp : sparks) {
    if (frame == 0 || t > sp.Life) continue;
    const double u = t / sp.Life;
    const double travel = 6 + sp.Reach * (1 - (1 - u) * (1 - u));
    const double fx = kBlastMid + sp.DirX * travel, fy = kBlastMid + sp.DirY * travel;
    const double tail = 2 + 7 * (1 - u);
    for (double s = 0; s < tail; s += 0.3) {
      const double k = 1 - s / tail;
      layer.Over(static_cast<int>(fx - sp.DirX * s), static_cast<int>(fy - sp.DirY * s),
                 Mix(Hex(0xd8541a), Hex(0xfff0b0), k), k);
    }
    for (int k = 0; k < 4; ++k)
      layer.Over(static_cast<int>(fx) + (k & 1), static_cast<int>(fy) + (k >> 1), Hex(0xfffbe0), 1);
  }
  return layer.Keyed(true);
}

TSurface BlastSheet() {
  paint::TRng rng(kBlastSeed);
  std::vector<TBillow> billows;
  billows.push_back({0, 0, 0, 17, 0, 0.8, 4.2, 1.3});
  constexpr int kRing = 12;
  for (int i = 0; i < kRing; ++i) {
    const double a = 2 * kPi * i / kRing + rng.Range(-0.3, 0.3);
    const bool inner = i % 2 == 0;
    billows.push_back({std::cos(a), std::sin(a), inner ? rng.Range(6, 10) : rng.Range(14, 19),
                       inner ? rng.Range(10, 13) : rng.Range(8.5, 11), rng.Range(0.0, 0.1), rng.Range(0.9, 1.3),
                       rng.Range(0, 40), rng.Range(0, 40)});
  }
  std::vector<TSpark> sparks;
  for (int i = 0; i < 9; ++i) {
    const double a = 2 * kPi * (i + rng.Range(0.1, 0.9)) / 9;
    sparks.push_back({std::cos(a), std::sin(a), rng.Range(12, 27), rng.Range(0.3, 0.6)});
  }
  std::vector<TSurface> frames;
  for (int f = 0; f < kBlastFrames; ++f) frames.push_back(BlastFrame(f, billows, sparks));
  return PatternRow(frames);
}

}  // namespace

void AddWeaponArt(TImageItems& res2) {
  // The car's weapon sprite starts out on "RocketAnim_1", so the frames come first.
  for (int f = 1; f <= 6; ++f)
    res2.push_back(KeyedPicture("RocketAnim_" + std::to_string(f), LauncherFrame(f), kKey, FrameWidth, FrameHeight));
  for (int f = 1; f <= 6; ++f)
    res2.push_back(KeyedPicture("GunAnim_" + std::to_string(f), GunFrame(f), kKey, FrameWidth, FrameHeight));
  res2.push_back(KeyedPicture("GunShooting", GunShootingFrame(), kKey, FrameWidth, FrameHeight + FlashRoom));
  res2.push_back(KeyedPicture("Rocket", RocketPicture(), kKey, kRocketWidth, kRocketHeight));
  res2.push_back(KeyedPicture("EngineFire", FlameJetSheet(kFirePatterns, RocketFlame), kKey, kFireWidth, kFireHeight));
  res2.push_back(KeyedPicture("Explosion", BlastSheet(), kKey, kBlastSize, kBlastSize));
}

// ---- Previews ---------------------------------------------------------------------------

namespace {

// The pivot row of the roof weapon as the car's draw works it out.
double WeaponPivotRow(int car, int carHeight, bool firing) {
  double cy = (carHeight / 2.0) / 114 - 0.6 + GunPivotOffset[car];
  if (firing) cy += ShotPivotAdjust[car] - 0.03;
  return cy;
}

void FillRoad(TSurface& page) {
  for (int y = 0; y < page.Height; ++y)
    for (int x = 0; x < page.Width; ++x) {
      const int n = static_cast<int>(paint::HashUnit(x, y, 0x57504e53) * 9) - 4;
      auto ch = [&](int v) { return static_cast<uint32_t>(std::clamp(v + n, 0, 255)); };
      page.Row(y)[x] = ch(0x3b) << 16 | ch(0x3e) << 8 | ch(0x45);
    }
}

// The car and its weapon the way the car's draw puts them, the car's
// top-left at (x, y).
void DrawArmedCar(TSurface& page, const TPictureCollectionItem& car, int number, const TPictureCollectionItem* weapon,
                  int x, int y, int heading) {
  const int w = car.Width(), h = car.Height();
  if (heading == 0)
    car.Draw(page, x, y, 0);
  else
    car.DrawRotate(page, static_cast<int>(std::trunc(w / 2.0 + x)), static_cast<int>(std::trunc(h / 2.0 + y)), w, h, 0,
                   0.5, 0.5, heading);
  if (!weapon) return;
  const double cy = WeaponPivotRow(number, h, weapon->Name == "GunShooting");
  weapon->DrawRotate(page, static_cast<int>(std::trunc(w / 2.0 + x)), static_cast<int>(std::trunc(h / 2.0 + y)),
                     weapon->Width(), weapon->Height(), 0, 0.5, cy, heading);
}

TSurface Zoomed(const TSurface& s, int k) {
  TSurface z;
  z.Resize(s.Width * k, s.Height * k);
  for (int y = 0; y < z.Height; ++y)
    for (int x = 0; x < z.Width; ++x) z.Row(y)[x] = s.Row(y / k)[x / k];
  return z;
}

void Save(const TSurface& s, const std::string& path) {
  if (!WritePng(path, s)) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void WriteWeaponPreviews(const TImageItems&, const TImageItems& res2, const std::string& dir) {
  const std::string out = dir + "/weapons";
  std::filesystem::create_directories(out);
  constexpr int kHeadings[] = {-64, 0, 64};
  constexpr int kCell = 190;

  // Every car with each raised weapon, a row per heading.
  for (const char* name : {"GunAnim_6", "GunShooting", "RocketAnim_6"}) {
    TSurface sheet;
    sheet.Resize(kCell * 6, kCell * 3);
    FillRoad(sheet);
    for (int car = 1; car <= 6; ++car) {
      const TPictureCollectionItem& item = FindPicture(res2, "Car" + std::to_string(car));
      for (int row = 0; row < 3; ++row)
        DrawArmedCar(sheet, item, car, &FindPicture(res2, name), (car - 1) * kCell + (kCell - item.Width()) / 2,
                     row * kCell + (kCell - item.Height()) / 2, kHeadings[row]);
    }
    Save(sheet, out + "/" + name + "_on_cars.png");
    Save(Zoomed(sheet, 2), out + "/" + name + "_on_cars_2x.png");
  }

  // Every roof frame alone, enlarged, over a red, a white and a black roof.
  {
    constexpr int kStep = 44;
    constexpr uint32_t kRoofs[] = {0xc8141c, 0xe8e8e4, 0x25282e};
    TSurface sheet;
    sheet.Resize(kStep * 13, 3 * (FrameHeight + FlashRoom + 4));
    for (int r = 0; r < 3; ++r)
      for (int y = r * (FrameHeight + FlashRoom + 4); y < (r + 1) * (FrameHeight + FlashRoom + 4); ++y)
        std::fill(sheet.Row(y), sheet.Row(y) + sheet.Width, kRoofs[r]);
    for (int r = 0; r < 3; ++r)
      for (int i = 0; i < 13; ++i) {
        const std::string name = i < 6    ? "GunAnim_" + std::to_string(i + 1)
                                 : i == 6 ? std::string("GunShooting")
                                          : "RocketAnim_" + std::to_string(i - 6);
        const TPictureCollectionItem& item = FindPicture(res2, name);
        item.Draw(sheet, i * kStep + 2, r * (FrameHeight + FlashRoom + 4) + 2 + FrameHeight + FlashRoom - item.Height(),
                  0);
      }
    Save(Zoomed(sheet, 4), out + "/frames_4x.png");
  }

  // The unfolding, frame by frame, on the shortest roofs and the longest.
  for (int car : {1, 3, 4}) {
    const TPictureCollectionItem& item = FindPicture(res2, "Car" + std::to_string(car));
    constexpr int kStep = 90;
    for (const char* kind : {"GunAnim_", "RocketAnim_"}) {
      const bool gun = kind[0] == 'G';
      const int count = gun ? 7 : 6;
      TSurface strip;
      strip.Resize(kStep * count, item.Height() + 16);
      FillRoad(strip);
      for (int i = 0; i < count; ++i) {
        const std::string name = i < 6 ? kind + std::to_string(i + 1) : std::string("GunShooting");
        DrawArmedCar(strip, item, car, &FindPicture(res2, name), i * kStep + (kStep - item.Width()) / 2, 8, 0);
      }
      Save(Zoomed(strip, 3),
           out + "/unfolding_" + (gun ? "gun" : "launcher") + "_car" + std::to_string(car) + "_3x.png");
    }
  }

  // The rocket with its flame, both ways the rocket draws it, and the blast.
  {
    const TPictureCollectionItem& rocket = FindPicture(res2, "Rocket");
    const TPictureCollectionItem& fire = FindPicture(res2, "EngineFire");
    const TPictureCollectionItem& blast = FindPicture(res2, "Explosion");
    TSurface sheet;
    sheet.Resize(600, 170);
    FillRoad(sheet);
    const int rw = rocket.Width(), rh = rocket.Height(), fw = fire.Width(), fh = fire.Height();
    constexpr int kAngles[] = {0, 1, 16, -32, 64};
    constexpr int kLeft[] = {30, 80, 130, 200, 300};
    for (int i = 0; i < 5; ++i) {
      const int x = kLeft[i], y = 50, angle = kAngles[i];
      const int pattern = i % fire.PatternCount();
      if (angle == 0) {
        rocket.Draw(sheet, x, y, 0);
        const int flameX = x - 12, flameY = y - 2;
        fire.Draw(sheet, static_cast<int>(std::trunc(flameX + fw / 2.0)),
                  static_cast<int>(std::trunc(flameY + fh / 2.0)), pattern);
      } else {
        const int cx = static_cast<int>(std::trunc(x + rw / 2.0)), cy = static_cast<int>(std::trunc(y + rh / 2.0));
        rocket.DrawRotate(sheet, cx, cy, rw, rh, 0, 0.5, 0.5, angle);
        fire.DrawRotate(sheet, cx, cy, fw, fh, pattern, 0.5, -0.22, angle);
      }
    }
    for (int p = 0; p < fire.PatternCount(); ++p) fire.Draw(sheet, 340 + p * 22, 40, p);
    Save(Zoomed(sheet, 3), out + "/rocket_and_flame_3x.png");

    TSurface blasts;
    blasts.Resize(8 * 68 + 4, 2 * 68 + 4);
    FillRoad(blasts);
    for (int p = 0; p < blast.PatternCount(); ++p) blast.Draw(blasts, 4 + (p % 8) * 68, 4 + (p / 8) * 68, p);
    Save(Zoomed(blasts, 2), out + "/explosion_frames_2x.png");
  }
}
