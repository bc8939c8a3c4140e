// The car-selection screen's pictures.
//
// Each car is shown in a dark showroom, standing on a lit turntable, seen
// from its front left three-quarter. The picture is traced from the same
// model as the race sprite (car_art.h): rays are marched through the car's
// height field, the floor reflects the car faintly and takes its shadow.
// All six pictures share one camera and one scale, so the cars' sizes
// compare as they do on the road, and all are opaque and the same size, so
// the screen can cross-fade one into the next.
//
// The frame around the picture is a dark panel in a bevelled steel border,
// like the question windows, with the screen's title in its head. The arrow
// keys are raised keys on the frame's sides and are cut from the frame with
// the key painted on; the start and back captions are cut from the menu
// background, in the main menu's caption looks.
#include "assets/pictures/screens/car_select_art.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "assets/pictures/cars/car_art.h"
#include "gfx/png_write.h"
#include "assets/pictures/screens/menu_art.h"
#include "assets/paint/paint.h"
#include "assets/pictures/screens/screen_art.h"

using namespace paint;
using namespace screen_art;
using cars::TVec;

namespace {

// ---- Layout (screen positions, top-left corners) ---------------------------------

constexpr int kFrameX = 198, kFrameY = 218;
constexpr int kFrameWidth = 396, kFrameHeight = 243;  // centred on the page
constexpr int kPictureX = 231, kPictureY = 259;
constexpr int kPictureWidth = 330, kPictureHeight = 190;
// The arrow keys stand on the frame's sides, centred on the picture's middle
// line; the game places the right one two pixels higher, so it is two
// pixels taller.
constexpr int kLeftX = 198, kLeftY = 330, kRightX = 568, kRightY = 328;
constexpr int kArrowWidth = 26;
constexpr int kArrowMiddle = kPictureY + kPictureHeight / 2;
constexpr int kLeftHeight = 2 * (kArrowMiddle - kLeftY), kRightHeight = 2 * (kArrowMiddle - kRightY);
// Start and back: a pair centred on the page under the frame.
constexpr int kStartX = 222, kBackX = 410, kCaptionY = 475;
constexpr int kCaptionWidth = 160, kCaptionHeight = 56;

constexpr uint32_t kSeed = 0x53484F57;  // "SHOW"

double Smooth(double e0, double e1, double x) {
  const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}
double Sq(double v) { return v * v; }
double Len(double a, double b) { return std::sqrt(a * a + b * b); }

// ---- The showroom ------------------------------------------------------------------

// Rays against one car on the showroom floor.
class TShowroom {
 public:
  explicit TShowroom(const cars::TCarModel& model);
  TVec Trace(const TVec& origin, const TVec& dir) const;

 private:
  static constexpr int kRes = 4;   // height samples per model pixel
  static constexpr int kTile = 16; // samples per side of a tile of the coarse maximum

  double Sample(double x, double y) const;
  bool March(const TVec& o, const TVec& d, TVec* hit) const;
  TVec CarColour(const TVec& p, const TVec& toEye) const;
  TVec Floor(const TVec& p, const TVec& dir) const;
  double Shadow(const TVec& p) const;

  const cars::TCarModel& Model;
  double X0, Y0, X1, Y1, Top;  // the car's box
  int NX, NY, TX, TY;
  std::vector<float> Heights, TileMax;
};

TShowroom::TShowroom(const cars::TCarModel& model) : Model(model) {
  const cars::TCarDesign& d = model.Design();
  X0 = -d.HalfWidth - 1.0;
  X1 = d.HalfWidth + 1.0;
  Y0 = -d.HalfHeight - 1.0;
  Y1 = d.HalfHeight + 1.0;
  NX = static_cast<int>((X1 - X0) * kRes) + 1;
  NY = static_cast<int>((Y1 - Y0) * kRes) + 1;
  Heights.resize(static_cast<size_t>(NX) * NY);
  Top = 0;
  for (int j = 0; j < NY; ++j)
    for (int i = 0; i < NX; ++i) {
      const double h = model.Height(X0 + static_cast<double>(i) / kRes, Y0 + static_cast<double>(j) / kRes);
      Heights[static_cast<size_t>(j) * NX + i] = static_cast<float>(h);
      Top = std::max(Top, h);
    }
  Top += 0.5;
  TX = (NX + kTile - 1) / kTile;
  TY = (NY + kTile - 1) / kTile;
  TileMax.assign(static_cast<size_t>(TX) * TY, 0.0f);
  // A tile's maximum covers the samples its bilinear cells reach.
  for (int j = 0; j < NY; ++j)
    for (int i = 0; i < NX; ++i) {
      const float h = Heights[static_cast<size_t>(j) * NX + i];
      for (int tj = std::max(0, (j - 1) / kTile); tj <= std::min(TY - 1, j / kTile); ++tj)
        for (int ti = std::max(0, (i - 1) / kTile); ti <= std::min(TX - 1, i / kTile); ++ti) {
          float& m = TileMax[static_cast<size_t>(tj) * TX + ti];
          m = std::max(m, h);
        }
    }
}

double TShowroom::Sample(double x, double y) const {
  const double fx = (x - X0) * kRes, fy = (y - Y0) * kRes;
  if (fx < 0 || fy < 0 || fx >= NX - 1 || fy >= NY - 1) return 0;
  const int i = static_cast<int>(fx), j = static_cast<int>(fy);
  const double tx = fx - i, ty = fy - j;
  const float* row = &Heights[static_cast<size_t>(j) * NX + i];
  const double top = row[0] + (row[1] - row[0]) * tx;
  const double bottom = row[NX] + (row[NX + 1] - row[NX]) * tx;
  return top + (bottom - top) * ty;
}

bool TShowroom::March(const TVec& o, const TVec& d, TVec* hit) const {
  // Clip the ray to the car's box.
  double t0 = 0, t1 = 1e9;
  auto slab = [&](double from, double dir, double lo, double hi) {
    if (std::abs(dir) < 1e-12) return from >= lo && from <= hi;
    double a = (lo - from) / dir, b = (hi - from) / dir;
    if (a > b) std::swap(a, b);
    t0 = std::max(t0, a);
    t1 = std::min(t1, b);
    return t0 <= t1;
  };
  if (!slab(o.X, d.X, X0, X1) || !slab(o.Y, d.Y, Y0, Y1) || !slab(o.Z, d.Z, 0, Top)) return false;
  const double flat = Len(d.X, d.Y);
  const double step = flat > 1e-9 ? 0.28 / flat : 0.28;
  double t = t0, previous = t0;
  while (t <= t1) {
    const TVec p = o + d * t;
    const double fx = (p.X - X0) * kRes, fy = (p.Y - Y0) * kRes;
    const int ti = std::clamp(static_cast<int>(fx) / kTile, 0, TX - 1);
    const int tj = std::clamp(static_cast<int>(fy) / kTile, 0, TY - 1);
    const double ceiling = TileMax[static_cast<size_t>(tj) * TX + ti];
    if (p.Z > ceiling + 0.01) {
      // Nothing in this tile reaches the ray: skip to where it leaves the
      // tile or comes down to the tile's top.
      auto leave = [](double from, double dir, double lo, double hi) {
        if (dir > 1e-12) return (hi - from) / dir;
        if (dir < -1e-12) return (lo - from) / dir;
        return 1e9;
      };
      const double tileX0 = X0 + static_cast<double>(ti) * kTile / kRes, tileY0 = Y0 + static_cast<double>(tj) * kTile / kRes;
      double next = std::min(leave(o.X, d.X, tileX0, tileX0 + static_cast<double>(kTile) / kRes),
                             leave(o.Y, d.Y, tileY0, tileY0 + static_cast<double>(kTile) / kRes));
      if (d.Z < 0) next = std::min(next, (ceiling - o.Z) / d.Z);
      previous = t;
      t = std::max(next, t) + 1e-4;
      continue;
    }
    if (p.Z <= Sample(p.X, p.Y)) {
      double lo = previous, hi = t;
      for (int i = 0; i < 10; ++i) {
        const double mid = (lo + hi) / 2;
        const TVec m = o + d * mid;
        (m.Z <= Sample(m.X, m.Y) ? hi : lo) = mid;
      }
      *hit = o + d * hi;
      return true;
    }
    previous = t;
    t += step;
  }
  return false;
}

TVec TShowroom::CarColour(const TVec& hit, const TVec& toEye) const {
  const double top = Model.Height(hit.X, hit.Y);
  // The sampled heights stand a fraction of a pixel off the true outline,
  // so a hit above the true top or well under it is on an upright side.
  const bool wall = hit.Z > top + 0.3 || hit.Z < top - 0.6;
  if (!wall) return Model.Shade(hit, Model.TopNormal(hit.X, hit.Y), toEye, false);
  // Along the body's outline the outline gives the side's normal; the step
  // in height gives it for the sides of bolt-ons standing on the body.
  constexpr double e = 0.5;
  double gx, gy;
  if (Model.BodyPlan(hit.X, hit.Y) < 1.0) {
    gx = Model.BodyPlan(hit.X + e, hit.Y) - Model.BodyPlan(hit.X - e, hit.Y);
    gy = Model.BodyPlan(hit.X, hit.Y + e) - Model.BodyPlan(hit.X, hit.Y - e);
  } else {
    gx = Model.Height(hit.X + e, hit.Y) - Model.Height(hit.X - e, hit.Y);
    gy = Model.Height(hit.X, hit.Y + e) - Model.Height(hit.X, hit.Y - e);
  }
  const TVec n = cars::Normalize({-gx, -gy, 0});
  // Looks are read just inside the side.
  const TVec p{hit.X - n.X * 0.4, hit.Y - n.Y * 0.4, hit.Z};
  return Model.Shade(p, n, toEye, true);
}

// How much of the key light reaches a floor point (soft at the edges).
double TShowroom::Shadow(const TVec& p) const {
  const TVec l = cars::KeyLight();
  double lit = 1;
  for (double t = 1.0; t < 90; t *= 1.2) {
    const TVec q = p + l * t;
    if (q.Z > Top) break;
    lit = std::min(lit, 6.0 * (q.Z - Sample(q.X, q.Y)) / t);
    if (lit <= 0) return 0;
  }
  return std::clamp(lit, 0.0, 1.0);
}

constexpr double kTurntable = 100;  // radius, model pixels

TVec TShowroom::Floor(const TVec& p, const TVec& dir) const {
  const double r = Len(p.X, p.Y);
  TVec base;
  double gloss;
  if (r < kTurntable - 3) {
    // Dark metal, turned in fine rings.
    const double ring = HashUnit(static_cast<int>(r * 2.3), 7, kSeed);
    base = cars::Linear(0x2b2f37) * (0.92 + 0.16 * ring);
    gloss = 0.22;
  } else if (r < kTurntable) {
    base = cars::Linear(0x9aa3b2);
    gloss = 0.3;
  } else if (r < kTurntable + 2.5) {
    base = cars::Linear(0x05060a);
    gloss = 0.05;
  } else {
    // Large floor tiles with dark seams.
    const double u = std::fmod(std::abs(p.X + 1000) , 64.0), v = std::fmod(std::abs(p.Y + 1000), 64.0);
    const bool seam = u < 1.0 || v < 1.0;
    base = cars::Linear(seam ? 0x08090c : 0x1a1d24);
    gloss = seam ? 0.02 : 0.12;
  }
  // The spot over the turntable, and the car's contact shadow.
  const double spot = 0.12 + 1.7 * std::exp(-Sq(r / 120.0));
  const double plan = Model.BodyPlan(p.X, p.Y);
  const double contact = 1 - 0.85 * std::exp(-std::max(0.0, -plan) / 6.0);
  const double light = spot * (0.35 + 0.65 * Shadow(p)) * contact;
  TVec c = base * (0.06 + light);
  // A faint mirror image of the car.
  const TVec up{dir.X, dir.Y, -dir.Z};
  TVec hit;
  if (r < kTurntable && March(p + up * 0.01, up, &hit)) {
    const double fade = std::exp(-hit.Z / 30.0);
    c = c + CarColour(hit, up * -1.0) * (gloss * fade * contact);
  } else {
    c = c + cars::Linear(0x1c2232) * (gloss * 0.5);
  }
  // A neon ring round the turntable's foot.
  c = c + TVec{1.0, 0.42, 0.1} * (0.55 * std::exp(-Sq((r - kTurntable - 4.5) / 1.6)));
  return c;
}

TVec TShowroom::Trace(const TVec& o, const TVec& d) const {
  TVec hit;
  if (March(o, d, &hit)) return CarColour(hit, d * -1.0);
  if (d.Z >= 0) return {0.01, 0.012, 0.02};
  const double t = -o.Z / d.Z;
  return Floor(o + d * t, d);
}

// One camera for all six cars: from the front left, a little above.
struct TCamera {
  TVec Eye, Forward, Right, Up;
  double Tan;
};
TCamera ShowroomCamera() {
  constexpr double azimuth = 50 * std::numbers::pi / 180, elevation = 25 * std::numbers::pi / 180;
  constexpr double distance = 640;
  const TVec target{3, 3, 14};
  const TVec toEye{-std::sin(azimuth) * std::cos(elevation), -std::cos(azimuth) * std::cos(elevation),
                   std::sin(elevation)};
  TCamera cam;
  cam.Eye = target + toEye * distance;
  cam.Forward = toEye * -1.0;
  // The model's axes are left-handed (y runs to the tail): right is up x forward.
  cam.Right = cars::Normalize(cars::Cross({0, 0, 1}, cam.Forward));
  cam.Up = cars::Cross(cam.Forward, cam.Right);
  cam.Tan = 0.145;
  return cam;
}

// The cars' names and kinds for the English pictures ("SG_Car1_En"...).
struct TCarWords {
  const char* Name;
  const char* Kind;
};
constexpr TCarWords kEnglishCars[] = {{"ARROW", "sports coupe"}, {"SPARK", "hatchback"},     {"BISON", "muscle car"},
                                      {"BUTTON", "city car"},    {"PHANTOM", "grand tourer"}, {"WHIRLWIND", "rally car"}};

void PaintPictureCaptions(const TCanvas& canvas, int number, bool english) {
  const TCarWords d = english ? kEnglishCars[number - 1]
                              : TCarWords{cars::PlayerCar(number).Name, cars::PlayerCar(number).Kind};
  cairo_t* cr = canvas.Cr();
  // The name in the menu's caption look, at the top left.
  SelectFont(cr, DisplayFace(30, -0.1, 0.86));
  const TInk ink = MeasureInk(cr, d.Name);
  PaintMenuCaption(canvas, d.Name, 16 + ink.Width / 2, 24, TCaptionLook::Normal, 30);
  // The kind of car under it, with a short orange rule.
  SelectFont(cr, DisplayFace(15));
  SetSource(cr, 0x000000, 0.7);
  cairo_move_to(cr, 17, 57);
  cairo_show_text(cr, d.Kind);
  SetSource(cr, 0xaeb6c8);
  cairo_move_to(cr, 16, 56);
  cairo_show_text(cr, d.Kind);
  cairo_pattern_t* rule = LinearGradient(16, 0, 96, 0, {{0, 0xff8a2a, 0.95}, {1, 0xff8a2a, 0}});
  cairo_set_source(cr, rule);
  cairo_rectangle(cr, 16, 41, 80, 1.5);
  cairo_fill(cr);
  cairo_pattern_destroy(rule);
  // Which of the six, at the top right.
  const std::string count = std::to_string(number) + " / " + std::to_string(cars::PlayerCarCount);
  SelectFont(cr, DisplayFace(17));
  const TInk countInk = MeasureInk(cr, count);
  SetSource(cr, 0x8a93a8);
  cairo_move_to(cr, kPictureWidth - 14 - countInk.Width - countInk.X, 26);
  cairo_show_text(cr, count.c_str());
}

// The car on its turntable, once, with the Russian captions and with the
// English ones.
void ShowroomPictures(int number, TSurface& russian, TSurface& english) {
  const cars::TCarModel model(cars::PlayerCar(number));
  const TShowroom room(model);
  const TCamera cam = ShowroomCamera();
  // Four rays a pixel on a rotated grid.
  constexpr double kSamples[4][2] = {{0.375, 0.125}, {0.875, 0.375}, {0.125, 0.625}, {0.625, 0.875}};
  TCanvas canvas(kPictureWidth, kPictureHeight);
  canvas.Flush();
  const double aspect = static_cast<double>(kPictureHeight) / kPictureWidth;
  for (int py = 0; py < kPictureHeight; ++py) {
    uint32_t* row = canvas.Row(py);
    for (int px = 0; px < kPictureWidth; ++px) {
      TVec sum;
      for (const auto& s : kSamples) {
        const double u = ((px + s[0]) / kPictureWidth * 2 - 1) * cam.Tan;
        const double v = (1 - (py + s[1]) / kPictureHeight * 2) * cam.Tan * aspect;
        sum = sum + room.Trace(cam.Eye, cars::Normalize(cam.Forward + cam.Right * u + cam.Up * v));
      }
      // A soft vignette keeps the eye on the turntable.
      const double dx = (px + 0.5) / kPictureWidth - 0.5, dy = (py + 0.5) / kPictureHeight - 0.5;
      const double vignette = 1 - 0.55 * Smooth(0.12, 0.5, dx * dx + dy * dy * 1.6);
      row[px] = 0xFF000000u | cars::ToRgb(sum * (vignette / 4));
    }
  }
  canvas.MarkDirty();
  AddGrain(canvas, 0.015, kSeed + number);
  TCanvas englishCanvas(kPictureWidth, kPictureHeight);
  CopyCrop(canvas, 0, 0, englishCanvas);
  PaintPictureCaptions(canvas, number, false);
  PaintPictureCaptions(englishCanvas, number, true);
  russian = ToOpaqueSurface(canvas);
  english = ToOpaqueSurface(englishCanvas);
}

// ---- The frame ---------------------------------------------------------------------

constexpr double kChamfer = 6;
constexpr double kBorder = 10;
// The picture's well, in frame coordinates.
constexpr double kWellL = kPictureX - kFrameX, kWellT = kPictureY - kFrameY;
constexpr double kWellR = kWellL + kPictureWidth, kWellB = kWellT + kPictureHeight;

void PaintFrame(const TCanvas& c, const char* title) {
  const TSteelPanel frame{.Width = kFrameWidth,
                          .Height = kFrameHeight,
                          .Border = kBorder,
                          .Chamfer = kChamfer,
                          .PoolLight = 0,
                          .Seed = kSeed,
                          .Glint1At = 90,
                          .Glint1Width = 30,
                          .Glint2At = 330,
                          .Glint2Width = 50,
                          .ShadeHeight = kFrameHeight,
                          .ScrewInset = 6.5,
                          .SoftOutline = false,
                          .HasWell = true,
                          .Well = {kWellL, kWellT, kWellR, kWellB}};
  PaintSteelPanel(c, frame, 0, 0);
  // The screen's title in the frame's head.
  PaintMenuCaption(c, title, kFrameWidth / 2.0, (kBorder + kWellT - 3) / 2, TCaptionLook::Normal, 22);
}

const TCanvas& FrameCanvas() {
  static const TCanvas canvas(kFrameWidth, kFrameHeight);
  static const bool painted = (PaintFrame(canvas, "ВЫБЕРИ МАШИНУ"), true);
  (void)painted;
  return canvas;
}

TSurface EnglishFramePicture() {
  const TCanvas canvas(kFrameWidth, kFrameHeight);
  PaintFrame(canvas, "CHOOSE YOUR CAR");
  return ToKeyedSurface(canvas, kKey);
}

// ---- Buttons -------------------------------------------------------------------------

// A raised key on the frame's side with an arrow on its face; `dir` -1
// points left, 1 right. (cx, cy) is the key's middle in the canvas.
void PaintArrowKey(const TCanvas& c, double cx, double cy, int dir, bool hovered) {
  cairo_t* cr = c.Cr();
  const double l = cx - 9, r = cx + 9, t = cy - 19, b = cy + 19;
  const TBox f = PaintRaisedKey(c, {l, t, r, b}, hovered, {1.3, 1.0, 1.4, 0.85, 1.8, 0.6});
  const double fl = f.L, ft = f.T, fr = f.R, fb = f.B;
  cairo_save(cr);
  RoundedRect(cr, fl, ft, fr, fb, 4.5);
  cairo_clip(cr);
  cairo_pattern_t* gloss = LinearGradient(0, ft, 0, cy, {{0, 0xffffff, 0.16}, {1, 0xffffff, 0.02}});
  cairo_set_source(cr, gloss);
  cairo_paint(cr);
  cairo_pattern_destroy(gloss);
  cairo_restore(cr);

  auto arrow = [&](cairo_t* p) {
    cairo_move_to(p, cx + dir * 4.5, cy);
    cairo_line_to(p, cx - dir * 3.5, cy - 7.5);
    cairo_line_to(p, cx - dir * 3.5, cy + 7.5);
    cairo_close_path(p);
  };
  if (hovered) {
    PaintBlurred(c, 3.0, 0, 0, 1.0, [&](cairo_t* p) {
      SetSource(p, 0xff6a10);
      arrow(p);
      cairo_set_line_width(p, 2.5);
      cairo_stroke_preserve(p);
      cairo_fill(p);
    }, CAIRO_OPERATOR_ADD);
  }
  SetSource(cr, 0x07080e, 0.9);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 2);
  arrow(cr);
  cairo_stroke(cr);
  cairo_pattern_t* fill = hovered ? LinearGradient(0, cy - 9, 0, cy + 9, {{0, 0xfffbe0}, {0.45, 0xffd040}, {0.55, 0xff9a20}, {1, 0xff6a10}})
                                  : LinearGradient(0, cy - 9, 0, cy + 9, {{0, 0xffffff}, {0.5, 0xefe6e6}, {0.55, 0xd8cccc}, {1, 0xa89aa2}});
  cairo_set_source(cr, fill);
  arrow(cr);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);
}

// Two looks side by side: pattern 0 hovered, pattern 1 normal.
TSurface TwoLooks(int width, int height, const std::function<TSurface(bool hovered)>& look) {
  TSurface sheet;
  sheet.Resize(2 * width, height);
  for (int pattern = 0; pattern < 2; ++pattern) {
    const TSurface one = look(pattern == 0);
    for (int y = 0; y < height; ++y) std::copy(one.Row(y), one.Row(y) + width, sheet.Row(y) + pattern * width);
  }
  return sheet;
}

TSurface ArrowPicture(int x, int y, int height, int dir) {
  return TwoLooks(kArrowWidth, height, [&](bool hovered) {
    TCanvas under(kArrowWidth, height), key(kArrowWidth, height);
    CopyCrop(FrameCanvas(), x - kFrameX, y - kFrameY, under);
    CopyCrop(FrameCanvas(), x - kFrameX, y - kFrameY, key);
    PaintArrowKey(key, kArrowWidth / 2.0, kArrowMiddle - y, dir, hovered);
    FadeEdgesInto(key, under, 2);
    return ToOpaqueSurface(key);
  });
}

TSurface CaptionPicture(int x, const char* caption) {
  return TwoLooks(kCaptionWidth, kCaptionHeight, [&](bool hovered) {
    return MenuButtonPicture(x, kCaptionY, kCaptionWidth, kCaptionHeight, caption,
                             hovered ? TCaptionLook::Hovered : TCaptionLook::Normal);
  });
}

}  // namespace

void AddCarSelectArt(TImageItems& res1) {
  res1.push_back(KeyedPicture("SG_Bk", ToKeyedSurface(FrameCanvas(), kKey), kKey));
  res1.push_back(KeyedPicture("SG_Bk_En", EnglishFramePicture(), kKey));
  for (int car = 1; car <= cars::PlayerCarCount; ++car) {
    TSurface russian, english;
    ShowroomPictures(car, russian, english);
    res1.push_back(OpaquePicture("SG_Car" + std::to_string(car), std::move(russian)));
    res1.push_back(OpaquePicture("SG_Car" + std::to_string(car) + "_En", std::move(english)));
  }
  res1.push_back(OpaquePicture("SG_Left", ArrowPicture(kLeftX, kLeftY, kLeftHeight, -1), kArrowWidth, kLeftHeight));
  res1.push_back(OpaquePicture("SG_Right", ArrowPicture(kRightX, kRightY, kRightHeight, 1), kArrowWidth, kRightHeight));
  res1.push_back(OpaquePicture("SG_Start", CaptionPicture(kStartX, "СТАРТ"), kCaptionWidth, kCaptionHeight));
  res1.push_back(OpaquePicture("SG_Back", CaptionPicture(kBackX, "НАЗАД"), kCaptionWidth, kCaptionHeight));
  res1.push_back(OpaquePicture("SG_Start_En", CaptionPicture(kStartX, "START"), kCaptionWidth, kCaptionHeight));
  res1.push_back(OpaquePicture("SG_Back_En", CaptionPicture(kBackX, "BACK"), kCaptionWidth, kCaptionHeight));
}

// ---- Previews ------------------------------------------------------------------------

namespace {

void DrawItem(TSurface& page, const TImageItems& items, const std::string& name, int pattern, int x, int y) {
  FindPicture(items, name).Draw(page, x, y, pattern);
}

// The screen as the game draws it: background, frame, picture, the four
// buttons with `hovered` (1..4, 0 none) lit. `fadeTo` > 0 draws the picture
// fading into that car at `alpha`.
TSurface ComposeScreen(const TImageItems& res1, int car, int hovered, int fadeTo = 0, int alpha = 255) {
  TSurface page;
  page.Resize(792, 592);
  DrawItem(page, res1, "MMBG", 0, 0, 0);
  DrawItem(page, res1, "SG_Bk", 0, kFrameX, kFrameY);
  const TPictureCollectionItem& picture = FindPicture(res1, "SG_Car" + std::to_string(car));
  if (fadeTo > 0) {
    const TPictureCollectionItem& next = FindPicture(res1, "SG_Car" + std::to_string(fadeTo));
    const TRect place{kPictureX, kPictureY, kPictureX + next.Width(), kPictureY + next.Height()};
    next.DrawAlpha(page, place, 0, 255);
    picture.DrawAlpha(page, place, 0, alpha);
  } else {
    picture.Draw(page, kPictureX, kPictureY, 0);
  }
  struct TPlace {
    const char* Name;
    int X, Y;
  };
  constexpr TPlace places[] = {{"SG_Left", kLeftX, kLeftY}, {"SG_Right", kRightX, kRightY},
                               {"SG_Start", kStartX, kCaptionY}, {"SG_Back", kBackX, kCaptionY}};
  for (int i = 0; i < 4; ++i) DrawItem(page, res1, places[i].Name, hovered == i + 1 ? 0 : 1, places[i].X, places[i].Y);
  return page;
}

void WriteZoomed(const TSurface& page, int left, int top, int width, int height, int zoom, const std::string& path) {
  TSurface out;
  out.Resize(width * zoom, height * zoom);
  for (int y = 0; y < out.Height; ++y)
    for (int x = 0; x < out.Width; ++x) out.Row(y)[x] = page.Row(top + y / zoom)[left + x / zoom];
  WritePng(path, out);
}

}  // namespace

void WriteCarSelectPreviews(const TImageItems& res1, const TImageItems&, const std::string& dir) {
  const std::string out = dir + "/cars";
  std::filesystem::create_directories(out);
  for (int car = 1; car <= cars::PlayerCarCount; ++car)
    WritePng(out + "/select_car" + std::to_string(car) + ".png", ComposeScreen(res1, car, 3));
  const char* hoverNames[] = {"none", "left", "right", "start", "back"};
  for (int hovered = 0; hovered <= 4; ++hovered)
    WritePng(out + std::string("/select_hover_") + hoverNames[hovered] + ".png", ComposeScreen(res1, 1, hovered));
  WritePng(out + "/select_crossfade.png", ComposeScreen(res1, 1, 2, 2, 115));
  const TSurface page = ComposeScreen(res1, 3, 1);
  WriteZoomed(page, kFrameX - 8, kFrameY - 8, kFrameWidth + 16, kFrameHeight + 16 + 80, 2, out + "/select_zoom.png");

  // The six pictures on one sheet.
  const TPictureCollectionItem& first = FindPicture(res1, "SG_Car1");
  TSurface sheet;
  sheet.Resize(2 * first.Width() + 12, 3 * first.Height() + 16);
  FillSurface(sheet, 0x101216);
  for (int car = 1; car <= cars::PlayerCarCount; ++car)
    DrawItem(sheet, res1, "SG_Car" + std::to_string(car), 0, 4 + ((car - 1) % 2) * (first.Width() + 4),
             4 + ((car - 1) / 2) * (first.Height() + 4));
  WritePng(out + "/showroom_all.png", sheet);
}
