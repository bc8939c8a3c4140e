// The rival traffic's pictures. Every vehicle is a height field over its
// own plan (x across, y from the nose to the tail, z up), the same way the
// player's cars are built: the saloon, the van and the pickup's cab are
// player-car models with their own proportions; the motorbike and the lorry
// have plans of their own. A pattern is drawn by carrying every sample of
// the picture back onto the plan through the corners of the traffic's
// outline for that orientation, so the painted body lies exactly on the
// outline, turned and stretched as the outline is. Light and reflections
// are worked out in the picture's frame, so every orientation is lit from
// the screen's top left like the rest of the town.
#include "assets/pictures/cars/rival_car_art.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <vector>

#include "assets/pictures/cars/car_art.h"
#include "gfx/png_write.h"
#include "assets/paint/downsample.h"
#include "assets/paint/paint.h"
#include "assets/paint/race_art_pixels.h"

namespace rivals {

namespace {

using cars::Linear;
using cars::TVec;

// clang-format off
const TOutline kOutlines[KindCount][OrientationCount] = {
    {{{{0, 23}, {38, 0}, {55, 133}, {94, 113}}}, {{{58, 0}, {95, 18}, {1, 113}, {40, 132}}},
     {{{28, 2}, {67, 2}, {27, 130}, {69, 130}}}, {{{30, 131}, {67, 131}, {70, 3}, {27, 3}}},
     {{{1, 115}, {37, 133}, {95, 20}, {57, 1}}}, {{{95, 115}, {60, 133}, {41, 0}, {2, 19}}}},
    {{{{0, 25}, {41, 0}, {67, 164}, {119, 137}}}, {{{78, 0}, {119, 24}, {1, 136}, {53, 165}}},
     {{{33, 2}, {89, 2}, {29, 163}, {89, 163}}}, {{{89, 161}, {31, 161}, {89, 2}, {27, 2}}},
     {{{40, 165}, {0, 140}, {118, 28}, {67, 1}}}, {{{119, 140}, {79, 165}, {53, 1}, {0, 28}}}},
    {{{{1, 13}, {13, 6}, {24, 54}, {33, 48}}}, {{{20, 6}, {32, 13}, {1, 48}, {9, 53}}},
     {{{9, 7}, {24, 7}, {10, 54}, {22, 54}}}, {{{9, 50}, {24, 50}, {23, 0}, {10, 0}}},
     {{{14, 52}, {1, 45}, {33, 7}, {24, 4}}}, {{{33, 45}, {19, 52}, {9, 2}, {0, 12}}}},
    {{{{0, 23}, {34, 0}, {58, 131}, {92, 109}}}, {{{60, 0}, {92, 23}, {0, 110}, {34, 131}}},
     {{{26, 1}, {70, 1}, {23, 131}, {68, 131}}}, {{{69, 129}, {25, 129}, {70, 1}, {24, 1}}},
     {{{33, 132}, {0, 108}, {92, 22}, {58, 1}}}, {{{92, 108}, {59, 132}, {34, 1}, {-1, 22}}}},
    {{{{0, 28}, {60, 0}, {90, 231}, {167, 192}}}, {{{108, 0}, {167, 30}, {2, 192}, {78, 230}}},
     {{{48, 4}, {120, 4}, {38, 227}, {126, 227}}}, {{{120, 228}, {47, 228}, {126, 6}, {40, 6}}},
     {{{62, 232}, {0, 201}, {166, 40}, {87, 1}}}, {{{167, 201}, {104, 232}, {79, 1}, {1, 40}}}},
};
// clang-format on

// Twice the kinds' half widths and half heights.
constexpr int kPatternSize[KindCount][2] = {{98, 134}, {120, 170}, {34, 58}, {92, 152}, {168, 240}};

// Where each orientation drives on the screen (y down): up-left, up-right,
// up, down, down-left, down-right; the diagonals run along the traffic's
// diagonal (0.44961132, 0.8932243).
constexpr TPoint kHeading[OrientationCount] = {{-0.44961132, -0.8932243}, {0.44961132, -0.8932243}, {0, -1},
                                               {0, 1},         {-0.44961132, 0.8932243}, {0.44961132, 0.8932243}};

double Sq(double v) { return v * v; }
double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
double Smooth(double e0, double e1, double x) {
  const double t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}
double Len(double a, double b) { return std::sqrt(a * a + b * b); }
TVec Grey(double v) { return {v, v, v}; }

// Distance inside the box |x| < hx, y0 < y < y1 with corners rounded by r
// (negative outside).
double RoundedBox(double x, double y, double hx, double y0, double y1, double r) {
  const double dx = hx - std::abs(x), dy = std::min(y - y0, y1 - y);
  if (dx < r && dy < r) return r - Len(r - std::min(dx, r), r - std::min(dy, r));
  return std::min(dx, dy);
}
// Distance inside an ellipse, roughly in pixels.
double InEllipse(double x, double y, double cx, double cy, double rx, double ry) {
  const double k = Len((x - cx) / rx, (y - cy) / ry);
  return (1 - k) * std::min(rx, ry);
}
// Distance inside a capsule from a to b of radius r.
double InCapsule(double x, double y, TPoint a, TPoint b, double r) {
  const double vx = b.X - a.X, vy = b.Y - a.Y;
  const double t = Clamp01(((x - a.X) * vx + (y - a.Y) * vy) / (vx * vx + vy * vy));
  return r - Len(x - a.X - t * vx, y - a.Y - t * vy);
}
// How far a top's rounded edge drops at `inside` from the edge.
double EdgeDrop(double inside, double r) {
  if (inside >= r) return 0;
  return r * (std::sqrt(std::max(0.0, 1 - Sq(1 - std::max(inside, 0.0) / r))) - 1);
}

// ---- Light ---------------------------------------------------------------------

struct TLook {
  TVec Base;
  double Reflect = 0.05;
  bool Rough = false;
  TVec Glow;
};

constexpr uint32_t kRubber = 0x1a1b1e;
constexpr uint32_t kGlass = 0x070a10;
constexpr uint32_t kHeadlampGlow = 0xa8c8ff;
constexpr uint32_t kTailGlow = 0xff2010;

TLook Paint(uint32_t rgb, double reflect = 0.05) { return {Linear(rgb), reflect, false, {}}; }
TLook Matt(uint32_t rgb) { return {Linear(rgb), 0.03, true, {}}; }
TLook Lamp(uint32_t glow, double strength) { return {Linear(glow) * 0.2, 0.1, false, Linear(glow) * strength}; }

// The same light as the player's cars, seen from straight above: the key
// light from the top left, the soft box overhead for the gloss.
TVec ShadeTop(const TLook& look, const TVec& n) {
  const TVec toEye{0, 0, 1};
  const TVec keyDir = cars::KeyLight();
  const double nv = std::max(0.02, n.Z);
  const TVec ambient = cars::Mix(TVec{0.05, 0.05, 0.055}, TVec{0.30, 0.32, 0.36}, 0.5 + 0.5 * n.Z);
  const TVec key = TVec{1.0, 0.97, 0.92} * std::max(0.0, cars::Dot(n, keyDir));
  const TVec diffuse = look.Base * (ambient + key);
  const TVec r = n * (2 * cars::Dot(n, toEye)) - toEye;
  const double grazing = 1 - nv;
  const double fresnel = std::min(0.75, look.Reflect + (1 - look.Reflect) * Sq(Sq(grazing)) * grazing);
  TVec reflected = look.Rough ? cars::Mix(Grey(0.03), Grey(0.55), Smooth(-0.3, 0.9, r.Z)) : cars::Environment(r);
  const double toKey = cars::Dot(r, keyDir);
  if (!look.Rough && toKey > 0.95) reflected = reflected + Grey(8.0 * std::pow(toKey, 120));
  return diffuse * (1 - fresnel) + reflected * fresnel + look.Glow;
}

// ---- Vehicles ------------------------------------------------------------------

// A vehicle on its own plan: x across (right positive), y along from the
// nose (-Length/2) to the tail (+Length/2), heights in pixels over the road.
class TVehicle {
 public:
  virtual ~TVehicle() = default;
  virtual double Width() const = 0;
  virtual double Length() const = 0;
  // 0 wherever the road shows.
  virtual double Height(double x, double y) const = 0;
  // Linear colour of the top at p (plan coordinates), its normal n in the
  // picture's frame.
  virtual TVec Shade(const TVec& p, const TVec& n) const = 0;
};

// A car built like the player's cars.
class TModelVehicle : public TVehicle {
 public:
  explicit TModelVehicle(const cars::TCarDesign& design) : Model(design), D(design) {}
  double Width() const override { return std::min(D.BodyWidth, 2 * D.HalfWidth); }
  double Length() const override { return 2.0 * D.HalfHeight - 2; }
  double Height(double x, double y) const override { return Model.Height(x, y); }
  TVec Shade(const TVec& p, const TVec& n) const override { return Model.Shade(p, n, {0, 0, 1}, false); }

 protected:
  cars::TCarModel Model;
  const cars::TCarDesign& D;
};

// clang-format off
// Kind 1: a long family saloon in teal, chrome bumpers and round lamps.
const cars::TCarDesign kSaloon = {
    "", "", 20, 65, 40,
    5, 0.32, 5, 0.30,   3, 2, 6, 5,
    0.31, 0.41, 0.65, 0.76,   0.15, 0.84,
    18, 24, 27, 27, 39,   5, 2,
    8.5, 6, 0,
    0x2f8791, 0x202226, 0xcfd3d8, true, cars::TStripes::None, false, cars::THeadlamps::Round,
    false, false, false, false, false};
// Kind 2: a tall delivery van, white with an orange twin stripe over the
// roof: a stubby nose, a steep windscreen and one long flat roof.
const cars::TCarDesign kVan = {
    "", "", 29, 81, 58,
    3, 0.14, 1, 0.08,   5, 1, 9, 3,
    0.10, 0.19, 0.975, 0.99,   0.12, 0.82,
    24, 30, 56, 56, 64,   3, 1.5,
    10, 7, 0,
    0xe8e6df, 0xe3701e, 0x2a2c31, false, cars::TStripes::Twin, false, cars::THeadlamps::Slim,
    false, false, false, false, false};
// Kind 4: a pickup in burnt orange, its cab in the front half and an open
// load bed behind it.
const cars::TCarDesign kPickup = {
    "", "", 22, 66, 44,
    3, 0.25, 1.5, 0.1,   4, 1, 7, 3,
    0.27, 0.35, 0.50, 0.53,   0.16, 0.80,
    22, 28, 33, 33, 44,   5, 2,
    9.5, 7, 0,
    0xc0581c, 0x1b1c20, 0x1b1c20, false, cars::TStripes::None, false, cars::THeadlamps::Slim,
    false, false, false, false, false};
// clang-format on

// The pickup: the model's boot deck is hollowed into a load bed with
// ribbed floor, side walls and a tailgate, two crates at its front.
class TPickup : public TModelVehicle {
 public:
  TPickup() : TModelVehicle(kPickup) {
    const double l = Length();
    BedFront = -l / 2 + kPickup.RearWindow * l + 2;
    BedRear = l / 2 - 3;
    BedHalf = kPickup.HalfWidth - 3.2;
  }
  double Height(double x, double y) const override {
    if (!InBed(x, y)) return Model.Height(x, y);
    if (const double crate = Crate(x, y); crate > 0) return kFloor + 11 + EdgeDrop(crate, 1.2);
    return kFloor + Rib(y);
  }
  TVec Shade(const TVec& p, const TVec& n) const override {
    if (!InBed(p.X, p.Y)) return Model.Shade(p, n, {0, 0, 1}, false);
    if (Crate(p.X, p.Y) > 0) {
      // Wooden crates: planks along the bed, a darker batten round the lid.
      const double plank = std::abs(std::fmod(p.X + 50, 3.5) / 3.5 - 0.5);
      TLook wood = Matt(0xa77544);
      wood.Base = wood.Base * (Crate(p.X, p.Y) < 1.6 ? 0.55 : plank > 0.42 ? 0.7 : 1.0);
      return ShadeTop(wood, n);
    }
    // Ribbed steel floor in the bed's shade, darker under the walls.
    const double wall = std::min({BedHalf - std::abs(p.X), p.Y - BedFront, BedRear - p.Y});
    const double shade = 0.45 + 0.55 * Smooth(0, 5, wall);
    TLook look = Paint(0x4a4d52, 0.08);
    look.Base = look.Base * shade;
    return ShadeTop(look, n);
  }

 private:
  static constexpr double kFloor = 20;
  bool InBed(double x, double y) const { return std::abs(x) < BedHalf && y > BedFront && y < BedRear; }
  // Two crates against the cab, one beside the other and a little behind it.
  double Crate(double x, double y) const {
    return std::max(RoundedBox(x + 8, y - (BedFront + 8.5), 8, -7.5, 7.5, 0.8),
                    RoundedBox(x - 8.5, y - (BedFront + 14), 7, -6.5, 6.5, 0.8));
  }
  static double Rib(double y) { return 0.8 * Smooth(0.2, 0.5, std::abs(std::fmod(y + 100, 6.0) / 6.0 - 0.5)); }
  double BedFront = 0, BedRear = 0, BedHalf = 0;
};

// The van: ribs pressed across its long roof and a vent over the load
// space, which the roof of a car never has.
class TVan : public TModelVehicle {
 public:
  TVan() : TModelVehicle(kVan) {
    const double l = Length();
    RibFront = -l / 2 + (kVan.RoofFront + 0.08) * l;
    RibRear = l / 2 - 8;
  }
  double Height(double x, double y) const override {
    double z = Model.Height(x, y);
    if (z < kVan.RoofZ - 2.5 || y < RibFront || y > RibRear || std::abs(x) > kVan.HalfWidth - 7) return z;
    z += 0.6 * Smooth(0.3, 0.5, std::abs(std::fmod(y - RibFront, 10.0) / 10.0 - 0.5));
    const double vent = RoundedBox(x, y - (RibFront + 70), 7, -6, 6, 2.5);
    if (vent > 0) z += std::min(vent, 1.8);
    return z;
  }

 private:
  double RibFront = 0, RibRear = 0;
};

// Plans made of parts: each part has a top height and a look; the highest
// part at a point is what shows.
struct TTop {
  double Z = 0;
  int Part = 0;
};

class TPartsVehicle : public TVehicle {
 public:
  double Height(double x, double y) const override { return Top(x, y).Z; }
  TVec Shade(const TVec& p, const TVec& n) const override { return ShadeTop(Look(Top(p.X, p.Y).Part, p), n); }

 protected:
  virtual TTop Top(double x, double y) const = 0;
  virtual TLook Look(int part, const TVec& p) const = 0;
  static void Raise(TTop& top, double z, int part) {
    if (z > top.Z) top = {z, part};
  }
};

// Kind 3: a touring motorbike seen from above, its rider in black leathers
// and a white helmet, a red fairing with a tinted screen, handlebars with
// mirrors, and panniers either side of the rear wheel.
class TMotorbike : public TPartsVehicle {
 public:
  double Width() const override { return 14; }
  double Length() const override { return 47; }

 protected:
  enum { kNone, kTyre, kFairing, kScreen, kBars, kGrip, kMirror, kTank, kSeat, kPannier, kTail, kHelmet, kVisor,
         kBack, kArm, kHeadlamp };
  TTop Top(double x, double y) const override {
    TTop t;
    const double ax = std::abs(x);
    // Tyres: narrow rounded strips front and back.
    {
      const double front = RoundedBox(x, y, 1.6, -23.5, -12, 1.5), rear = RoundedBox(x, y, 1.9, 13, 23.5, 1.6);
      const double in = std::max(front, rear);
      if (in > 0) Raise(t, 7 + EdgeDrop(in, 1.6) * 2, kTyre);
    }
    // Fairing round the front, its screen on the back half.
    {
      const double in = InEllipse(x, y, 0, -12.5, 5.6, 8);
      if (in > 0 && y > -19.5) {
        const double z = 20 + 6 * Smooth(-19.5, -9, y) + EdgeDrop(in, 2.5) * 3;
        Raise(t, z, y > -13.5 && ax < 4.2 - 0.2 * (y + 13.5) ? kScreen : kFairing);
        if (y < -16.6 && ax < 2.8) Raise(t, z + 0.1, kHeadlamp);
      }
    }
    // Handlebars across the whole width, grips and mirrors at the ends.
    {
      const double bar = InCapsule(x, y, {-6.2, -7.2}, {6.2, -7.2}, 0.9);
      if (bar > 0) Raise(t, 27 + bar, ax > 4.6 ? kGrip : kBars);
      const double mirror = std::max(InEllipse(x, y, -5.6, -9.6, 1.5, 1.1), InEllipse(x, y, 5.6, -9.6, 1.5, 1.1));
      if (mirror > 0) Raise(t, 31 + mirror, kMirror);
    }
    // Tank, seat, tail.
    {
      const double tank = InEllipse(x, y, 0, -3.5, 4.2, 5.2);
      if (tank > 0) Raise(t, 22 + EdgeDrop(tank, 2) * 3, kTank);
      const double seat = RoundedBox(x, y, 3.4, 1, 14, 1.5);
      if (seat > 0) Raise(t, 21 + EdgeDrop(seat, 1.5) * 2, kSeat);
      const double tail = RoundedBox(x, y, 2.8, 13, 18.6, 1.2);
      if (tail > 0) Raise(t, 20 + EdgeDrop(tail, 1.2) * 2, y > 15.4 ? kTail : kTank);
    }
    // Panniers.
    {
      const double in = RoundedBox(ax - 5.05, y, 1.95, 6.5, 17, 1.2);
      if (in > 0) Raise(t, 19 + EdgeDrop(in, 1.2) * 2, kPannier);
    }
    // The rider: back and shoulders, arms to the grips, helmet.
    {
      const double back = InEllipse(x, y, 0, 3.2, 6.0, 5.6);
      if (back > 0) Raise(t, 34 + EdgeDrop(back, 3) * 4 - 0.08 * Sq(x), kBack);
      const double arm = std::max(InCapsule(x, y, {-4.3, 0.5}, {-5.5, -6.6}, 1.25),
                                  InCapsule(x, y, {4.3, 0.5}, {5.5, -6.6}, 1.25));
      if (arm > 0) Raise(t, 31 + arm, kArm);
      const double helmet = InEllipse(x, y, 0, -1.2, 3.5, 3.9);
      if (helmet > 0)
        Raise(t, 40 + 3 * std::sqrt(std::max(0.0, helmet / 3.5)), y < -3.2 && ax < 2.6 ? kVisor : kHelmet);
    }
    return t;
  }
  TLook Look(int part, const TVec& p) const override {
    switch (part) {
      case kTyre: return Matt(kRubber);
      case kFairing: return Paint(0xb3121f, 0.06);
      case kScreen: return {Linear(0x1c2a38), 0.12, false, {}};
      case kHeadlamp: return Lamp(kHeadlampGlow, 1.5);
      case kBars: return Paint(0x9aa0a8, 0.5);
      case kGrip: return Matt(0x111214);
      case kMirror: return Paint(0x16171a, 0.2);
      case kTank: return Paint(0xb3121f, 0.06);
      case kSeat: return Matt(0x17181b);
      case kTail: return Lamp(kTailGlow, 1.2);
      case kPannier: return Paint(0xb3121f, 0.06);
      case kHelmet: return Paint(0xeeeeea, 0.07);
      case kVisor: return {Linear(0x0a0c12), 0.15, false, {}};
      case kBack: return {Linear(0x222327) * (0.9 + 0.1 * std::cos(p.Y * 2.4)), 0.04, true, {}};
      case kArm: return Matt(0x1c1d21);
      default: return Matt(0x101010);
    }
  }
};

// Kind 5: a lorry: a blue cab-over tractor with an air deflector on its
// roof, and behind it a tall white box body with a ribbed roof. The
// outline is wider at the tail, and so is the box against the cab.
class TLorry : public TPartsVehicle {
 public:
  double Width() const override { return 80; }
  double Length() const override { return 223; }

 protected:
  enum { kNone, kTyre, kCab, kWindscreen, kDeflector, kLampFront, kMirror, kChassis, kBox, kBoxStripe, kBoxRail,
         kLampRear, kVisor, kHatch };
  static constexpr double kNose = -111.5, kCabRear = -62, kBoxFront = -57.5, kTail = 111.5;
  TTop Top(double x, double y) const override {
    TTop t;
    const double ax = std::abs(x);
    // Front tyres, showing at the cab's rounded corners.
    {
      const double in = RoundedBox(ax - 34, y, 5, kNose + 7, kNose + 27, 3);
      if (in > 0) Raise(t, 16 + EdgeDrop(in, 3) * 2, kTyre);
    }
    // The chassis between cab and box.
    if (ax < 30 && y > kCabRear - 2 && y < kBoxFront + 2) Raise(t, 14, kChassis);
    // The cab.
    {
      const double in = RoundedBox(x, y, 38, kNose, kCabRear, 8);
      if (in > 0) {
        const double front = y - kNose;
        // The windscreen leans back from the nose up to the roof's visor.
        const double z = 54 + 14 * Smooth(0, 11, front) + EdgeDrop(in, 5) * 2 - 1.5 * Sq(x / 38);
        int part = kCab;
        if (front < 9.5 && ax < 33.5 && in > 1.4) part = kWindscreen;
        if (front >= 9.5 && front < 11 && ax < 33.5) part = kVisor;
        if (front < 2.4 && ax > 21 && ax < 32) part = kLampFront;
        Raise(t, z, part);
        // The air deflector: a rounded hump over the back of the roof.
        const double d = RoundedBox(x, y, 31, kNose + 22, kCabRear - 2, 10);
        if (d > 0) Raise(t, 68 + 14 * Smooth(kNose + 22, kCabRear - 8, y) * Smooth(0, 9, d), kDeflector);
      }
      const double mirror = RoundedBox(ax - 38.2, y, 1.6, kNose + 10, kNose + 16, 0.8);
      if (mirror > 0) Raise(t, 60 + mirror, kMirror);
    }
    // The box body: the whole width back to the tail, a rail round its roof.
    {
      const double in = RoundedBox(x, y, 40, kBoxFront, kTail, 2.5);
      if (in > 0) {
        const double rib = 0.6 * Smooth(0.25, 0.5, std::abs(std::fmod(y + 400, 9.0) / 9.0 - 0.5));
        double z = 90 + EdgeDrop(in, 3) * 2 + (in > 3 ? rib : 0);
        int part = kBox;
        if (in < 3) part = kBoxRail;
        else if (std::abs(y - (kBoxFront + 14)) < 5 || std::abs(y - (kTail - 14)) < 5) part = kBoxStripe;
        if (kTail - y < 2.2 && ax > 28 && ax < 37) part = kLampRear;
        Raise(t, z, part);
        // A roof hatch a third of the way back.
        const double hatch = RoundedBox(x, y - (kBoxFront + 55), 9, -7, 7, 2);
        if (hatch > 0) Raise(t, 91.5 + std::min(hatch, 1.5), kHatch);
      }
    }
    return t;
  }
  TLook Look(int part, const TVec& p) const override {
    switch (part) {
      case kTyre: return Matt(kRubber);
      case kChassis: return Matt(0x0d0e10);
      case kCab: return Paint(0x23459a, 0.06);
      case kDeflector: return Paint(0x23459a, 0.06);
      case kWindscreen: return {Linear(kGlass), 0.12, false, {}};
      case kVisor: return Matt(0x141518);
      case kLampFront: return Lamp(kHeadlampGlow, 1.5);
      case kMirror: return Matt(0x15161a);
      case kBox: return {Linear(0xdcdcd6) * (0.97 + 0.03 * std::cos(p.X * 0.9)), 0.05, false, {}};
      case kBoxStripe: return Paint(0xe3701e, 0.05);
      case kHatch: return Paint(0x8d9299, 0.2);
      case kBoxRail: return Paint(0x9ea3aa, 0.35);
      case kLampRear: return Lamp(kTailGlow, 1.2);
      default: return Matt(0x101010);
    }
  }
};

std::unique_ptr<TVehicle> MakeVehicle(int kind) {
  switch (kind) {
    case 1: return std::make_unique<TModelVehicle>(kSaloon);
    case 2: return std::make_unique<TVan>();
    case 3: return std::make_unique<TMotorbike>();
    case 4: return std::make_unique<TPickup>();
    case 5: return std::make_unique<TLorry>();
    default: throw std::invalid_argument("no rival kind " + std::to_string(kind));
  }
}

// ---- Drawing a pattern ---------------------------------------------------------

// The outline's corners named by where they sit on the vehicle.
struct TFrame {
  TPoint FrontLeft, FrontRight, RearLeft, RearRight;
};

TFrame FrameOf(const TOutline& outline, TPoint heading) {
  // The vehicle's right on the screen is its heading turned a quarter clockwise.
  const TPoint right{-heading.Y, heading.X};
  TPoint c{0, 0};
  for (const TPoint& p : outline) c = {c.X + p.X / 4, c.Y + p.Y / 4};
  std::array<TPoint, 4> sorted = outline;
  auto along = [&](const TPoint& p) { return (p.X - c.X) * heading.X + (p.Y - c.Y) * heading.Y; };
  auto across = [&](const TPoint& p) { return (p.X - c.X) * right.X + (p.Y - c.Y) * right.Y; };
  std::sort(sorted.begin(), sorted.end(), [&](const TPoint& a, const TPoint& b) { return along(a) > along(b); });
  TFrame f;
  const bool frontSwap = across(sorted[0]) > across(sorted[1]);
  f.FrontLeft = frontSwap ? sorted[1] : sorted[0];
  f.FrontRight = frontSwap ? sorted[0] : sorted[1];
  const bool rearSwap = across(sorted[2]) > across(sorted[3]);
  f.RearLeft = rearSwap ? sorted[3] : sorted[2];
  f.RearRight = rearSwap ? sorted[2] : sorted[3];
  return f;
}

// (u, v) in the unit square with u across from left to right and v from the
// front to the rear, such that the bilinear blend of the frame's corners is
// (x, y): Newton steps from the parallelogram's answer.
TPoint PlanOf(const TFrame& f, double x, double y) {
  const TPoint a = f.FrontLeft;
  const TPoint e{f.FrontRight.X - a.X, f.FrontRight.Y - a.Y};
  const TPoint g{f.RearLeft.X - a.X, f.RearLeft.Y - a.Y};
  const TPoint h{a.X - f.FrontRight.X - f.RearLeft.X + f.RearRight.X,
                 a.Y - f.FrontRight.Y - f.RearLeft.Y + f.RearRight.Y};
  double u = 0.5, v = 0.5;
  for (int step = 0; step < 6; ++step) {
    const double rx = a.X + u * e.X + v * g.X + u * v * h.X - x;
    const double ry = a.Y + u * e.Y + v * g.Y + u * v * h.Y - y;
    const double j11 = e.X + v * h.X, j12 = g.X + u * h.X, j21 = e.Y + v * h.Y, j22 = g.Y + u * h.Y;
    const double det = j11 * j22 - j12 * j21;
    u -= (j22 * rx - j12 * ry) / det;
    v -= (j11 * ry - j21 * rx) / det;
  }
  return {u, v};
}

constexpr int kSub = 4;                     // samples per pixel along each axis
constexpr uint32_t kRimNeutral = 0x141518;  // what the edges are antialiased against

// Distance (in samples) of every inside sample to the nearest outside one:
// two chamfer passes, good enough to lay a rim of even width.
std::vector<double> RimDistance(const std::vector<uint8_t>& inside, int w, int h) {
  constexpr double kFar = 1e9, kSide = 1, kDiag = 1.4142;
  std::vector<double> d(inside.size());
  for (size_t i = 0; i < d.size(); ++i) d[i] = inside[i] ? kFar : 0;
  auto at = [&](int x, int y) { return x < 0 || y < 0 || x >= w || y >= h ? 0.0 : d[static_cast<size_t>(y) * w + x]; };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double& c = d[static_cast<size_t>(y) * w + x];
      if (c == 0) continue;
      c = std::min({c, at(x - 1, y) + kSide, at(x, y - 1) + kSide, at(x - 1, y - 1) + kDiag, at(x + 1, y - 1) + kDiag});
    }
  for (int y = h - 1; y >= 0; --y)
    for (int x = w - 1; x >= 0; --x) {
      double& c = d[static_cast<size_t>(y) * w + x];
      if (c == 0) continue;
      c = std::min({c, at(x + 1, y) + kSide, at(x, y + 1) + kSide, at(x + 1, y + 1) + kDiag, at(x - 1, y + 1) + kDiag});
    }
  return d;
}

TSurface DrawPattern(const TVehicle& vehicle, int width, int height, const TOutline& outline, TPoint heading,
                     uint32_t rimPaint) {
  const TFrame frame = FrameOf(outline, heading);
  const int sw = width * kSub, sh = height * kSub;
  // Heights at every sample and one round the edge, for the slopes.
  const int gw = sw + 2, gh = sh + 2;
  std::vector<double> z(static_cast<size_t>(gw) * gh, 0.0);
  std::vector<TPoint> plan(z.size());
  for (int j = 0; j < gh; ++j)
    for (int i = 0; i < gw; ++i) {
      const TPoint uv = PlanOf(frame, (i - 0.5) / kSub, (j - 0.5) / kSub);
      const size_t k = static_cast<size_t>(j) * gw + i;
      plan[k] = {(uv.X - 0.5) * vehicle.Width(), (uv.Y - 0.5) * vehicle.Length()};
      if (uv.X < -0.05 || uv.X > 1.05 || uv.Y < -0.05 || uv.Y > 1.05) continue;
      z[k] = vehicle.Height(plan[k].X, plan[k].Y);
    }
  std::vector<TVec> colour(static_cast<size_t>(sw) * sh);
  std::vector<uint8_t> inside(colour.size(), 0);
  for (int j = 0; j < sh; ++j)
    for (int i = 0; i < sw; ++i) {
      const size_t g = static_cast<size_t>(j + 1) * gw + i + 1;
      if (z[g] <= 0) continue;
      const TVec n = cars::Normalize({-(z[g + 1] - z[g - 1]) * kSub / 2, -(z[g + gw] - z[g - gw]) * kSub / 2, 1});
      const size_t k = static_cast<size_t>(j) * sw + i;
      inside[k] = 1;
      colour[k] = vehicle.Shade({plan[g].X, plan[g].Y, z[g]}, n);
    }

  // A dark rim about a pixel wide, so the vehicle stands out of any road.
  const std::vector<double> dist = RimDistance(inside, sw, sh);
  const TVec rim = cars::Mix(Linear(0x0b0c0f), Linear(rimPaint), 0.05);
  // A sliver of a sample or two would only fringe the outline.
  return paint::DownsampleWithRim(width, height, kSub, colour, inside, dist,
                                  {rim, Linear(kRimNeutral), cars::CarKey, 3});
}

constexpr uint32_t kRimPaint[KindCount] = {0x2f8791, 0xe8e6df, 0xb3121f, 0xc0581c, 0x23459a};

}  // namespace

const TOutline& Outline(int kind, int orientation) {
  if (kind < 1 || kind > KindCount || orientation < 1 || orientation > OrientationCount)
    throw std::invalid_argument("no rival outline " + std::to_string(kind) + "/" + std::to_string(orientation));
  return kOutlines[kind - 1][orientation - 1];
}

int PatternWidth(int kind) { return kPatternSize[std::clamp(kind, 1, KindCount) - 1][0]; }
int PatternHeight(int kind) { return kPatternSize[std::clamp(kind, 1, KindCount) - 1][1]; }

TSurface RivalSheet(int kind) {
  const std::unique_ptr<TVehicle> vehicle = MakeVehicle(kind);
  std::vector<TSurface> patterns;
  for (int o = 1; o <= OrientationCount; ++o)
    patterns.push_back(DrawPattern(*vehicle, PatternWidth(kind), PatternHeight(kind), Outline(kind, o), kHeading[o - 1],
                                   kRimPaint[kind - 1]));
  return race_art::PatternRow(patterns);
}

}  // namespace rivals

void AddRivalCarArt(TImageItems& res2) {
  for (int kind = 1; kind <= rivals::KindCount; ++kind)
    res2.push_back(KeyedPicture("Car" + std::to_string(6 + kind), rivals::RivalSheet(kind), cars::CarKey,
                                rivals::PatternWidth(kind), rivals::PatternHeight(kind)));
}

// ---- Previews --------------------------------------------------------------------

namespace {

// Hull of an outline's corners, clockwise on the screen: most outlines list
// the front pair then the rear pair, which is not the order round them.
std::vector<rivals::TPoint> HullOf(const rivals::TOutline& q) {
  std::vector<rivals::TPoint> hull(q.begin(), q.end());
  double cx = 0, cy = 0;
  for (auto p : hull) cx += p.X / 4, cy += p.Y / 4;
  std::sort(hull.begin(), hull.end(),
            [&](auto a, auto b) { return std::atan2(a.Y - cy, a.X - cx) < std::atan2(b.Y - cy, b.X - cx); });
  return hull;
}

// The given kinds, one row each of their six patterns enlarged `zoom` times
// on asphalt, with the collision outlines in yellow when asked.
void WriteSheet(const TImageItems& res2, std::initializer_list<int> kinds, int zoom, bool outlines,
                const std::string& path) {
  constexpr int kGap = 12;
  int pageWidth = 0, pageHeight = kGap;
  for (int kind : kinds) {
    pageWidth = std::max(pageWidth, kGap + rivals::OrientationCount * (rivals::PatternWidth(kind) * zoom + kGap));
    pageHeight += rivals::PatternHeight(kind) * zoom + kGap;
  }
  paint::TCanvas page(pageWidth, pageHeight);
  cairo_t* cr = page.Cr();
  paint::SetSource(cr, 0x3b3e45);
  cairo_paint(cr);
  paint::AddGrain(page, 0.03, 7);
  int top = kGap;
  for (int kind : kinds) {
    const TPictureCollectionItem& item = FindPicture(res2, "Car" + std::to_string(6 + kind));
    const int w = item.Width(), h = item.Height();
    for (int o = 1; o <= rivals::OrientationCount; ++o) {
      const int left = kGap + (o - 1) * (w * zoom + kGap);
      page.Flush();
      const TPixelView view = item.Pattern(o - 1);
      for (int y = 0; y < h * zoom; ++y)
        for (int x = 0; x < w * zoom; ++x) {
          const uint32_t s = view.Pixels[static_cast<size_t>(y / zoom) * view.Stride + x / zoom];
          if (s != view.Key) page.Row(top + y)[left + x] = 0xFF000000u | s;
        }
      page.MarkDirty();
      if (!outlines) continue;
      cairo_set_line_width(cr, 1);
      paint::SetSource(cr, 0xffffff, 0.18);
      cairo_rectangle(cr, left + 0.5, top + 0.5, w * zoom - 1, h * zoom - 1);
      cairo_stroke(cr);
      const std::vector<rivals::TPoint> hull = HullOf(rivals::Outline(kind, o));
      paint::SetSource(cr, 0xffe23a, 0.9);
      for (size_t i = 0; i < hull.size(); ++i) {
        const double x = left + hull[i].X * zoom, y = top + hull[i].Y * zoom;
        if (i == 0) cairo_move_to(cr, x, y);
        else cairo_line_to(cr, x, y);
      }
      cairo_close_path(cr);
      cairo_stroke(cr);
    }
    top += h * zoom + kGap;
  }
  paint::WritePng(page, path);
}

}  // namespace

void WriteRivalCarPreviews(const TImageItems&, const TImageItems& res2, const std::string& dir) {
  const std::string out = dir + "/rivals";
  std::filesystem::create_directories(out);
  // Every kind with the outline the traffic collides by drawn over it.
  WriteSheet(res2, {1, 2, 3, 4, 5}, 2, true, out + "/outlines_2x.png");
  // The kinds larger, to judge the detail; the motorbike is small.
  WriteSheet(res2, {1, 4}, 3, false, out + "/saloon_pickup_3x.png");
  WriteSheet(res2, {2}, 3, false, out + "/van_3x.png");
  WriteSheet(res2, {5}, 2, false, out + "/lorry_2x.png");
  WriteSheet(res2, {3}, 8, false, out + "/motorbike_8x.png");

  // A stretch of town at the race's own scale: sidewalks, a four-lane road,
  // oncoming traffic in its second column and traffic driving up in its
  // third, placed the way the traffic places them, and people walking.
  const TPictureCollectionItem& tiles = FindPicture(res2, "Tiles");
  constexpr int kColumns = 9, kRows = 8, kTile = 72;
  constexpr int kStreet[kColumns] = {0, 23, 1, 2, 3, 4, 23, 0, 0};
  TSurface scene;
  scene.Resize(kColumns * kTile, kRows * kTile);
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kColumns; ++c) tiles.Draw(scene, c * kTile, r * kTile, kStreet[c]);
  // Tile 1 is column 2 and tile 4 column 5: oncoming cars at 72 (2 + 1) plus
  // the kind's offset down, cars driving up at 72 (5 - 1) plus its offset up.
  constexpr int kOffsetDown[rivals::KindCount] = {-14, -24, 4, -18, -55};
  constexpr int kOffsetUp[rivals::KindCount] = {-14, -24, 36, -6, -40};
  struct TCar {
    int Kind, Orientation, Y;
  };
  constexpr TCar kCars[] = {{5, 4, -60}, {1, 4, 250}, {3, 4, 430}, {2, 3, 10}, {3, 3, 230}, {4, 3, 330}};
  for (const TCar& car : kCars) {
    const TPictureCollectionItem& item = FindPicture(res2, "Car" + std::to_string(6 + car.Kind));
    const int x = car.Orientation == 4 ? kTile * 3 + kOffsetDown[car.Kind - 1] : kTile * 4 + kOffsetUp[car.Kind - 1];
    item.Draw(scene, x, car.Y, car.Orientation - 1);
  }
  struct TWalker {
    const char* Image;
    int Pattern, X, Y;  // the picture's top-left
  };
  constexpr TWalker kWalkers[] = {{"Man_Up", 1, 96, 60},     {"Girl_Down", 3, 100, 200}, {"Man_Laying", 0, 90, 330},
                                  {"Girl_Up", 0, 462, 120},  {"Man_Down", 2, 470, 300},  {"Girl_Left", 4, 470, 430},
                                  {"Man_Right", 1, 520, 470}};
  for (const TWalker& w : kWalkers) FindPicture(res2, w.Image).Draw(scene, w.X, w.Y, w.Pattern);
  WritePng(out + "/street_1x.png", scene);
}
