// The six player cars: their descriptions, the model every picture of a car
// is drawn from, and the race sprites "Car1" .. "Car6".
//
// The model is a height field: for every point of the car's plan, how high
// the car stands there (bonnet, greenhouse, roof, boot, the tops of the
// tyres), with upright walls down to the road along the outline. Looks
// (paint, glass, lamps, rubber, chrome) are decided per point from the same
// plan, so the straight-down sprite and the three-quarter showroom view of
// the car selection agree in every detail.
#include "assets/pictures/cars/car_art.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "gfx/png_write.h"
#include "assets/paint/downsample.h"
#include "assets/paint/paint.h"

namespace cars {

namespace {

// clang-format off
const TCarDesign kCars[PlayerCarCount] = {
    // 1: a low red sports coupé with a long bonnet, a fastback and swept lamps.
    {"СТРЕЛА", "спортивное купе", 32, 78, 65,
     8, 0.42, 6, 0.42,   9, 4, 12, 10,
     0.36, 0.50, 0.64, 0.84,   0.18, 0.80,
     17, 25, 27, 28.5, 38,   9, 3,
     11, 9, 0,
     0xc8141c, 0x16171b, 0x19191d, false, TStripes::None, false, THeadlamps::Wedge,
     false, false, false, false, false},
    // 2: a tall blue hatchback: short bonnet, long roof, a steep hatch under a roof spoiler.
    {"ИСКРА", "хэтчбек", 31, 74, 62,
     7, 0.40, 5, 0.40,   5, 2, 11, 8,
     0.27, 0.40, 0.86, 0.965,   0.16, 0.83,
     20, 27, 31, 30, 45,   7, 2.5,
     10.5, 8.5, 0,
     0x1d5fd6, 0x111216, 0x1b1c20, false, TStripes::None, false, THeadlamps::Slim,
     false, false, false, false, true},
    // 3: a wide yellow muscle car: long bonnet with a scoop, black twin stripes,
    //    chrome bumpers and fat tyres standing out of the body.
    {"БИЗОН", "маслкар", 41, 78, 70,
     3, 0.30, 3, 0.30,   2, 1.5, 6, 6,
     0.45, 0.56, 0.70, 0.80,   0.17, 0.81,
     23, 27, 27, 29, 39,   11, 3,
     12.5, 11, 6,
     0xf0b000, 0x121214, 0xd8dce2, true, TStripes::Twin, false, THeadlamps::Round,
     true, false, false, false, false},
    // 4: a short green compact with a white roof, round lamps and the wheels at its corners.
    {"КНОПКА", "малолитражка", 31, 67, 63,
     5, 0.35, 4, 0.35,   3, 2, 13, 11,
     0.25, 0.34, 0.90, 0.97,   0.14, 0.86,
     22, 27, 30, 29, 45,   5.5, 2,
     9.5, 8, 0,
     0x2f9b46, 0xf1f0e8, 0xcfd3d8, true, TStripes::None, true, THeadlamps::Round,
     false, false, false, false, false},
    // 5: a black grand tourer with a silver stripe, a pointed nose and a wide track.
    {"ПРИЗРАК", "гран туризмо", 34, 77, 60,
     7, 0.40, 4, 0.40,   10, 4, 14, 12,
     0.40, 0.53, 0.66, 0.85,   0.18, 0.80,
     15, 22, 25, 26, 35,   9, 3,
     11.5, 10, 4,
     0x25282e, 0xc9ced6, 0x141518, false, TStripes::Centre, false, THeadlamps::Wedge,
     false, false, false, false, false},
    // 6: a white rally car in blue and red stripes, with lamps on the bonnet,
    //    a roof scoop and a rear wing.
    {"ВИХРЬ", "раллийный", 32, 72, 62,
     6, 0.38, 4, 0.38,   4, 2, 10, 8,
     0.30, 0.43, 0.78, 0.90,   0.16, 0.83,
     20, 27, 30, 30, 43,   7, 2.5,
     10.5, 9, 1,
     0xf1f0ec, 0x1c50bf, 0x1b1c20, false, TStripes::Rally, false, THeadlamps::Slim,
     false, true, true, true, false},
};
// clang-format on

constexpr uint32_t kRallyRed = 0xd8262a;
constexpr double kCrown = 2.5;     // rise of the bonnet and boot towards the middle
constexpr double kRoofCrown = 1.5;
constexpr double kRoofTaper = 4;   // how much narrower the roof's ends are than the glass's foot
constexpr double kEdgeRadius = 6;  // roundness of the body's top edge

double Sq(double v) { return v * v; }
double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
double Smooth(double e0, double e1, double x) {
  const double t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}
// A soft maximum: joins two surfaces with a fillet of about k.
double SoftMax(double a, double b, double k) {
  const double h = std::max(k - std::abs(a - b), 0.0) / k;
  return std::max(a, b) + h * h * k * 0.25;
}
// 1 inside the box |x - cx| < hx, |y - cy| < hy, easing to 0 over `soft`.
double SoftBox(double x, double y, double cx, double cy, double hx, double hy, double soft) {
  return Smooth(0, soft, hx - std::abs(x - cx)) * Smooth(0, soft, hy - std::abs(y - cy));
}
TVec Grey(double v) { return {v, v, v}; }
// std::hypot guards against overflow, which these small lengths never reach.
double Len(double a, double b) { return std::sqrt(a * a + b * b); }

}  // namespace

const TCarDesign& PlayerCar(int number) { return kCars[std::clamp(number, 1, PlayerCarCount) - 1]; }

// ---- Light -------------------------------------------------------------------

TVec KeyLight() { return Normalize({-0.55, -0.45, 0.72}); }

TVec Environment(const TVec& d) {
  // The floor: dark, meeting a bright horizon.
  if (d.Z < 0) return Mix(Grey(0.018), Grey(0.30), Smooth(-0.18, 0, d.Z));
  TVec c = Mix(TVec{0.42, 0.44, 0.48}, TVec{0.035, 0.04, 0.05}, Smooth(0, 0.42, d.Z));
  // Soft boxes running along the car: the main one just left of overhead,
  // a narrow dim one low at the right.
  const double across = std::atan2(d.X, d.Z), along = std::atan2(d.Y, d.Z);
  const double reach = Smooth(1.25, 0.95, std::abs(along));
  c = c + Grey(6.0 * reach * Smooth(0.1, 0.05, std::abs(across + 0.13)));
  c = c + Grey(1.6 * reach * Smooth(0.06, 0.03, std::abs(across - 0.62)));
  return c;
}

namespace {
// Rubber and plastic see only the blurred surroundings.
TVec RoughEnvironment(const TVec& d) { return Mix(Grey(0.03), Grey(0.55), Smooth(-0.3, 0.9, d.Z)); }
}  // namespace

// ---- Shape -------------------------------------------------------------------

TCarModel::TCarModel(const TCarDesign& design) : D(design) {
  L = 2.0 * D.HalfHeight - 2;
  B = std::min(D.BodyWidth, 2 * D.HalfWidth) / 2.0;
  auto at = [&](double s) { return -L / 2 + s * L; };
  YWindscreen = at(D.Windscreen);
  YRoofFront = at(D.RoofFront);
  YRoofRear = at(D.RoofRear);
  YRearWindow = at(D.RearWindow);
  YFrontAxle = at(D.FrontAxle);
  YRearAxle = at(D.RearAxle);
  WindscreenSlope = (D.RoofZ - TopLine(YWindscreen)) / (YRoofFront - YWindscreen);
  RearSlope = (D.RoofZ - TopLine(YRearWindow)) / (YRearWindow - YRoofRear);
  const double sill = TopLine((YRoofFront + YRoofRear) / 2) - kCrown * Sq((B - D.SillInset) / B);
  SideSlope = (D.RoofZ - sill) / (D.RoofInset - D.SillInset);
  const double outer = std::min(D.HalfWidth - 0.5, B + D.WheelFlare);
  WheelX = outer - D.TyreWidth / 2;
}

double TCarModel::HalfWidthAt(double y) const {
  const double s = Clamp01((y + L / 2) / L);
  return B - D.NoseTaper * Sq(std::max(0.0, 1 - s / D.NoseReach)) -
         D.TailTaper * Sq(std::max(0.0, 1 - (1 - s) / D.TailReach));
}

double TCarModel::FrontEdge(double x) const { return -L / 2 + D.NoseCurve * Sq(x / B); }
double TCarModel::RearEdge(double x) const { return L / 2 - D.TailCurve * Sq(x / B); }

double TCarModel::BodyPlan(double x, double y) const {
  const double side = HalfWidthAt(y) - std::abs(x);
  const double front = y - FrontEdge(x), rear = RearEdge(x) - y;
  const double end = std::min(front, rear);
  const double r = front < rear ? D.FrontCorner : D.RearCorner;
  if (side < r && end < r) return r - Len(r - std::min(side, r), r - std::min(end, r));
  return std::min(side, end);
}

double TCarModel::TopLine(double y) const {
  const double s = Clamp01((y + L / 2) / L);
  if (s < D.Windscreen) {
    const double t = s / D.Windscreen;
    return D.NoseZ + (D.HoodZ - D.NoseZ) * (1 - Sq(1 - t));
  }
  if (s < D.RearWindow) {
    const double t = (s - D.Windscreen) / (D.RearWindow - D.Windscreen);
    return D.HoodZ + (D.DeckZ - D.HoodZ) * t * t * (3 - 2 * t);
  }
  const double t = (s - D.RearWindow) / (1 - D.RearWindow);
  return D.DeckZ + (D.TailZ - D.DeckZ) * t * t;
}

double TCarModel::BodyTop(double x, double y, double inside) const {
  double z = TopLine(y) - kCrown * Sq(x / HalfWidthAt(y));
  if (inside < kEdgeRadius) z += kEdgeRadius * (std::sqrt(std::max(0.0, 1 - Sq(1 - inside / kEdgeRadius))) - 1);
  return z;
}

double TCarModel::RoofHalfWidth(double y) const {
  // The roof is narrowest at its ends and the glass widens from there to
  // the windscreen's and the rear window's foot.
  double taper;
  if (y < YRoofFront)
    taper = Clamp01((y - YWindscreen) / (YRoofFront - YWindscreen));
  else if (y > YRoofRear)
    taper = Clamp01((YRearWindow - y) / (YRearWindow - YRoofRear));
  else
    taper = 0.6 + 0.4 * Sq(Sq((2 * y - YRoofFront - YRoofRear) / (YRoofRear - YRoofFront)));
  return HalfWidthAt(y) - D.RoofInset - kRoofTaper * taper;
}

double TCarModel::Cabin(double x, double y, double* windscreen, double* rearWindow, double* side) const {
  const double roofHalf = RoofHalfWidth(y);
  const double ws = WindscreenSlope * std::max(0.0, YRoofFront - y);
  const double rw = RearSlope * std::max(0.0, y - YRoofRear);
  const double sd = SideSlope * std::max(0.0, std::abs(x) - roofHalf);
  if (windscreen) *windscreen = ws;
  if (rearWindow) *rearWindow = rw;
  if (side) *side = sd;
  return D.RoofZ - kRoofCrown * Sq(std::min(1.0, x / roofHalf)) - Len(sd, ws + rw);
}

double TCarModel::ScoopMiddle() const { return YWindscreen - 0.15 * L; }
double TCarModel::ScoopHalfLength() const { return 0.085 * L; }
double TCarModel::ScoopHalfWidth() const { return 0.2 * B; }

double TCarModel::Extras(double x, double y) const {
  double z = 0;
  const double hw = HalfWidthAt(y);
  if (D.HoodScoop) {
    // Highest at its open front, sloping back into the bonnet.
    const double e = SoftBox(x, y, 0, ScoopMiddle(), ScoopHalfWidth(), ScoopHalfLength(), 1.5);
    if (e > 0)
      z = std::max(z, TopLine(y) - kCrown * Sq(x / hw) +
                          4.5 * e * Smooth(ScoopMiddle() + ScoopHalfLength(), ScoopMiddle() - 0.3 * ScoopHalfLength(), y));
  }
  if (D.RoofScoop) {
    const double e = SoftBox(x, y, 0, YRoofFront + 6, 5, 4.5, 1.5);
    if (e > 0) z = std::max(z, D.RoofZ + 2.5 * e * Smooth(YRoofFront + 1.5, YRoofFront + 9, y));
  }
  if (D.RallyLamps) {
    for (double lx : {-15.5, -6.0, 6.0, 15.5}) {
      const double r = Len(x - lx, y - (FrontEdge(lx) + 10));
      if (r < 3.4) z = std::max(z, TopLine(y) - kCrown * Sq(x / hw) + 2.2 * std::sqrt(1 - Sq(r / 3.4)));
    }
  }
  if (D.RearWing) {
    const double front = RearEdge(x) - 9, back = RearEdge(x) - 3;
    if (y > front && y < back && std::abs(x) < hw - 2)
      z = std::max(z, D.DeckZ + 7.5 - 0.12 * (y - front) - 1.5 * Sq(std::min(1.0, (y - front) / 1.2) - 1));
  }
  if (D.RoofSpoiler) {
    const double roofHalf = RoofHalfWidth(YRoofRear);
    if (y > YRoofRear - 1 && y < YRoofRear + 4.5 && std::abs(x) < roofHalf + 1)
      z = std::max(z, D.RoofZ + 0.5 - 0.35 * std::max(0.0, y - YRoofRear) - 2 * Sq(std::abs(x) / (roofHalf + 1)));
  }
  return z;
}

double TCarModel::Wheel(double x, double y) const {
  const double half = D.TyreWidth / 2, r = D.WheelRadius;
  const double across = std::abs(std::abs(x) - WheelX);
  if (across >= half) return 0;
  // A tread a little rounded at its shoulders.
  const double shoulder = std::sqrt(std::max(0.0, 1 - std::pow(across / half, 6)));
  double top = 0;
  for (double axle : {YFrontAxle, YRearAxle}) {
    const double dy = y - axle;
    if (std::abs(dy) < r) top = std::max(top, r + std::sqrt(r * r - dy * dy) * shoulder);
  }
  return top;
}

double TCarModel::Height(double x, double y) const {
  const double inside = BodyPlan(x, y);
  if (inside <= 0) return Wheel(x, y);
  double z = BodyTop(x, y, inside);
  z = SoftMax(z, Cabin(x, y, nullptr, nullptr, nullptr), 1.2);
  return std::max(z, Extras(x, y));
}

TVec TCarModel::TopNormal(double x, double y) const {
  constexpr double e = 0.3;
  const double gx = (Height(x + e, y) - Height(x - e, y)) / (2 * e);
  const double gy = (Height(x, y + e) - Height(x, y - e)) / (2 * e);
  return Normalize({-gx, -gy, 1});
}

// ---- Looks -------------------------------------------------------------------

namespace {

constexpr uint32_t kGlass = 0x070a10;
constexpr uint32_t kRubber = 0x1a1b1e;
constexpr uint32_t kHeadlampGlow = 0xa8c8ff;  // cool white
constexpr uint32_t kTailGlow = 0xff2010;

}  // namespace

bool TCarModel::WheelFace(const TVec& p, TLook* look) const {
  const double r = D.WheelRadius;
  const double axles[2] = {YFrontAxle, YRearAxle};
  for (double axle : axles) {
    const double dy = p.Y - axle, dz = p.Z - r;
    const double rr = Len(dy, dz);
    if (rr < r) {
      const double rim = 0.62 * r;
      if (rr > rim) {
        *look = {Linear(kRubber), 0.03, true, {}};
      } else if (rr > rim - 1.0) {
        *look = {Linear(0xe4e7ec), 0.6, false, {}};  // the rim's lip
      } else if (rr < 0.17 * r) {
        *look = {Linear(0x9aa0a8), 0.5, false, {}};  // hub
      } else {
        const double angle = std::atan2(dz, dy);
        const bool spoke = std::cos(5 * angle) > 0.25;
        *look = spoke ? TLook{Linear(0xb8bdc6), 0.45, false, {}} : TLook{Linear(0x202226), 0.05, true, {}};
      }
      return true;
    }
    // The wheel arch: a dark gap round the tyre in the body's side.
    if (rr < r + 1.8 && std::abs(p.X) < WheelX + D.TyreWidth / 2 - 0.2) {
      *look = {Linear(0x060607), 0.02, true, {}};
      return true;
    }
  }
  return false;
}

TCarModel::TLook TCarModel::TopLook(const TVec& p) const {
  const double x = p.X, y = p.Y, ax = std::abs(x);
  const double inside = BodyPlan(x, y);
  if (inside <= 0) {
    // Tread of a tyre seen from above.
    const double groove = std::fmod(std::abs(y) * 0.9, 1.0);
    return {Linear(kRubber) * (groove < 0.3 ? 0.55 : 1.0), 0.03, true, {}};
  }
  const double hw = HalfWidthAt(y);
  const TVec paint = Linear(D.Paint), accent = Linear(D.Accent);
  TLook look{paint, 0.05, false, {}};

  // Lamps, measured from the nose and tail edges; the body's dark rim
  // frames them where they reach round the corners.
  const double fromNose = y - FrontEdge(x), fromTail = RearEdge(x) - y;
  auto lamp = [&](uint32_t glow, double strength, double edge) -> TLook {
    if (std::min(edge, inside - 1.2) < 0.6) return {Linear(0x8e949c), 0.5, false, {}};  // bezel
    return {Linear(glow) * 0.2, 0.1, false, Linear(glow) * strength};
  };
  auto box = [](double u, double v, double u0, double u1, double v0, double v1) {
    return std::min({u - u0, u1 - u, v - v0, v1 - v});
  };
  constexpr double head = 1.5, tail = 1.2;
  switch (D.Headlamps) {
    case THeadlamps::Slim: {
      const double e = box(ax, fromNose, 0.42 * hw, 0.88 * hw, 0.5, 5.5);
      if (e > 0) return lamp(kHeadlampGlow, head, e);
      const double t = box(ax, fromTail, 0.48 * hw, 0.93 * hw, 0.5, 4.2);
      if (t > 0) return lamp(kTailGlow, tail, t);
      break;
    }
    case THeadlamps::Wedge: {
      // Swept back: deeper at the outside.
      const double depth = 4 + 4 * Clamp01((ax - 0.38 * hw) / (0.46 * hw));
      const double e = box(ax, fromNose, 0.38 * hw, 0.84 * hw, 0.5, depth);
      if (e > 0) return lamp(kHeadlampGlow, head, e);
      const double t = box(ax, fromTail, 0.35 * hw, 0.9 * hw, 0.5, 4.2);
      if (t > 0) return lamp(kTailGlow, tail, t);
      break;
    }
    case THeadlamps::Round: {
      const bool twin = hw > 33;
      const double r = twin ? 3.1 : 4.0;
      for (double cx : twin ? std::array<double, 2>{0.52 * hw, 0.8 * hw} : std::array<double, 2>{0.64 * hw, -1e9}) {
        const double e = r - Len(ax - cx, fromNose - (r + 1.4));
        if (e > 0) return lamp(kHeadlampGlow, head, e);
      }
      const double t = twin ? box(ax, fromTail, 0.45 * hw, 0.88 * hw, 0.5, 3.6)
                            : 3.4 - Len(ax - 0.7 * hw, fromTail - 4.4);
      if (t > 0) return lamp(kTailGlow, tail, t);
      break;
    }
  }

  // Greenhouse: glass, pillars, roof.
  double ws = 0, rw = 0, sd = 0;
  const double cabin = Cabin(x, y, &ws, &rw, &sd);
  const double body = BodyTop(x, y, inside);
  const double extra = Extras(x, y);
  const bool onExtra = extra > 0 && extra >= std::max(body, cabin) - 0.05;
  const TVec roofPaint = D.AccentRoof ? accent : paint;
  if (!onExtra && cabin > body + 0.4) {
    const double drop = Len(sd, ws + rw);
    if (drop < 0.9) {
      look.Base = roofPaint;
    } else if (cabin - body < 1.4 || drop < 1.8) {
      look = {Linear(0x121316), 0.06, true, {}};  // rubber seals round the glass
    } else {
      const bool aPillar = ws > 0 && sd > 0 && std::abs(ws - sd) < 2.2;
      const bool cPillar = rw > 0 && sd > 0 && std::abs(rw - sd) < (D.RearWindow - D.RoofRear > 0.15 ? 3.8 : 2.6);
      const double yB = YRoofFront + 0.42 * (YRoofRear - YRoofFront);
      const bool bPillar = sd > ws + rw && std::abs(y - yB) < 1.5;
      if (aPillar || cPillar || bPillar) {
        look.Base = roofPaint;
      } else {
        look = {Linear(kGlass), 0.1, false, {}};
        return look;
      }
    }
  }

  // Bolt-ons.
  if (onExtra) {
    if (D.RallyLamps && y < YWindscreen) {
      for (double lx : {-15.5, -6.0, 6.0, 15.5}) {
        const double r = Len(x - lx, y - (FrontEdge(lx) + 10));
        if (r < 3.4) return r < 2.5 ? TLook{Linear(0xfff2c0) * 0.3, 0.2, false, Linear(0xfff0c0) * 1.6}
                                    : TLook{Linear(0x15161a), 0.3, false, {}};
      }
    }
    if (D.HoodScoop && std::abs(y - ScoopMiddle()) < ScoopHalfLength() + 1) {
      // Matt black, its mouth a dark slot at the front.
      if (y < ScoopMiddle() - ScoopHalfLength() + 2.2) return {Linear(0x050506), 0.02, true, {}};
      return {accent, 0.08, false, {}};
    }
    if (D.RearWing && y > YRearWindow) look.Base = paint;
  }

  // Stripes run over bonnet, roof and boot.
  auto stripe = [&](double from, double to) { return ax > from && ax < to; };
  switch (D.Stripes) {
    case TStripes::None:
      break;
    case TStripes::Twin:
      if (stripe(1.5, 6.5)) look.Base = accent;
      break;
    case TStripes::Centre:
      if (stripe(-1, 4.5)) look = {accent, 0.12, false, {}};
      else if (stripe(4.5, 5.5)) look.Base = Linear(0x0c0d10);
      break;
    case TStripes::Rally:
      if (stripe(-1, 5.5)) look.Base = accent;
      else if (stripe(7, 9.5)) look.Base = Linear(kRallyRed);
      break;
  }

  // Grille on the nose's rounded edge.
  if (fromNose < 3 && ax < 0.36 * hw && D.Headlamps != THeadlamps::Wedge) {
    const bool slat = std::fmod(fromNose * 2.2 + 10, 1.0) < 0.45;
    return {Linear(D.ChromeTrim ? 0x8c9198 : 0x0e0f12) * (slat ? 0.4 : 1.0), 0.2, !D.ChromeTrim, {}};
  }

  // Shut lines of the bonnet and the boot.
  const double hoodEnd = YWindscreen - 1.5, bootStart = YRearWindow + 2;
  const double sideLine = hw - 4;
  const bool hoodLine = (std::abs(y - hoodEnd) < 0.35 && ax < sideLine) ||
                        (y < hoodEnd && fromNose > 3 && std::abs(ax - sideLine) < 0.35);
  const bool bootLine = D.RearWindow < 0.93 && ((std::abs(y - bootStart) < 0.35 && ax < sideLine) ||
                                                (y > bootStart && fromTail > 3 && std::abs(ax - sideLine) < 0.35));
  if ((hoodLine || bootLine) && !onExtra) look.Base = look.Base * 0.35;
  return look;
}

// The headlamps continue from the nose's rounded edge down its front:
// `below` is how far under the edge's foot the point lies (negative).
bool TCarModel::FrontLampOnWall(double ax, double hw, double below) const {
  if (below > 0.3) return false;
  switch (D.Headlamps) {
    case THeadlamps::Slim:
      return ax > 0.42 * hw && ax < 0.88 * hw && below > -3.5;
    case THeadlamps::Wedge:
      return ax > 0.38 * hw && ax < 0.84 * hw && below > -2.2 + 1.5 * (ax - 0.84 * hw) / (0.46 * hw);
    case THeadlamps::Round: {
      const bool twin = hw > 33;
      const double r = twin ? 3.1 : 4.0;
      for (double cx : {twin ? 0.52 * hw : 0.64 * hw, twin ? 0.8 * hw : 0.64 * hw})
        if (Len(ax - cx, below + 0.4 * r) < r) return true;
      return false;
    }
  }
  return false;
}

TCarModel::TLook TCarModel::WallLook(const TVec& p, const TVec& n) const {
  TLook look{Linear(D.Paint), 0.05, false, {}};
  if (WheelFace(p, &look)) return look;
  const double ax = std::abs(p.X), hw = HalfWidthAt(p.Y);
  const TVec trim = Linear(D.Trim);
  const TLook bumper = D.ChromeTrim ? TLook{trim, 0.7, false, {}} : TLook{trim, 0.04, true, {}};
  if (p.Z < 3.2) return {Linear(0x050506), 0.02, true, {}};
  if (D.HoodScoop && p.Y < YWindscreen && p.Z > TopLine(p.Y) - 3) return {Linear(0x050506), 0.02, true, {}};
  // Under the rear wing's plate: the shaded gap between its struts.
  if (D.RearWing && p.Y > YRearWindow && p.Z > D.DeckZ + 0.5 && p.Z < D.DeckZ + 5) return {Linear(0x0c0d10), 0.03, true, {}};
  if (n.Y < -0.5) {
    // The nose: lamps under the top's edge, grille, bumper and plate.
    const double top = D.NoseZ - kEdgeRadius;
    if (ax < 7.5 && p.Z > 4 && p.Z < 8.5) return {Linear(0xecece6), 0.05, true, {}};
    if (p.Z < 8.5) return bumper;
    if (ax < 0.45 * hw && p.Z < top) {
      const bool slat = std::fmod(p.Z * 0.9, 1.0) < 0.45;
      return {Linear(D.ChromeTrim ? 0x9aa0a8 : 0x0e0f12) * (slat ? 0.35 : 1.0), 0.2, !D.ChromeTrim, {}};
    }
    if (FrontLampOnWall(ax, hw, p.Z - top)) return {Linear(kHeadlampGlow) * 0.2, 0.1, false, Linear(kHeadlampGlow) * 0.9};
  } else if (n.Y > 0.5) {
    const double top = D.TailZ - kEdgeRadius;
    if (ax < 7.5 && p.Z > 5 && p.Z < 9.5) return {Linear(0xecece6), 0.05, true, {}};
    if (p.Z < 8.5) return bumper;
    if (ax > 0.45 * hw && ax < 0.92 * hw && p.Z > top - 4.5 && p.Z < top + 0.3)
      return {Linear(kTailGlow) * 0.2, 0.1, false, Linear(kTailGlow) * 0.9};
  } else {
    if (p.Z < 6.5) return {Linear(D.Paint) * 0.45, 0.04, false, {}};  // sills in shade
    // Door shut lines.
    const double door = YRoofFront - 3, back = YRoofRear + 2;
    if ((std::abs(p.Y - door) < 0.35 || std::abs(p.Y - back) < 0.35)) look.Base = look.Base * 0.35;
  }
  return look;
}

TVec TCarModel::Shade(const TVec& p, const TVec& n, const TVec& toEye, bool wall) const {
  const TLook look = wall ? WallLook(p, n) : TopLook(p);
  const TVec keyDir = KeyLight();
  const double nv = std::max(0.02, Dot(n, toEye));
  // The road and the body's own underside darken the lowest parts.
  const double occlusion = wall ? 0.35 + 0.65 * Smooth(0, 12, p.Z) : 1.0;
  const TVec ambient = Mix(TVec{0.05, 0.05, 0.055}, TVec{0.30, 0.32, 0.36}, 0.5 + 0.5 * n.Z);
  const TVec key = TVec{1.0, 0.97, 0.92} * std::max(0.0, Dot(n, keyDir));
  const TVec diffuse = look.Base * ((ambient + key) * occlusion);
  const TVec r = n * (2 * Dot(n, toEye)) - toEye;
  const double grazing = 1 - nv;
  const double fresnel = std::min(0.75, look.Reflect + (1 - look.Reflect) * Sq(Sq(grazing)) * grazing);
  TVec reflected = look.Rough ? RoughEnvironment(r) : Environment(r);
  // The key light's glint, only where the reflection points close to it.
  const double toKey = Dot(r, keyDir);
  if (!look.Rough && toKey > 0.95) reflected = reflected + Grey(8.0 * std::pow(toKey, 120));
  return diffuse * (1 - fresnel) + reflected * (fresnel * occlusion) + look.Glow;
}

// ---- The race sprite -----------------------------------------------------------

namespace {

// Squared distance of every cell to the nearest zero cell along one line
// (Felzenszwalb and Huttenlocher's lower envelope of parabolas).
void DistanceLine(const double* f, double* d, int n, std::vector<int>& v, std::vector<double>& z) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  int k = 0;
  v[0] = 0;
  z[0] = -inf;
  z[1] = inf;
  for (int q = 1; q < n; ++q) {
    double s = ((f[q] + q * q) - (f[v[k]] + v[k] * v[k])) / (2.0 * q - 2.0 * v[k]);
    while (s <= z[k]) {
      --k;
      s = ((f[q] + q * q) - (f[v[k]] + v[k] * v[k])) / (2.0 * q - 2.0 * v[k]);
    }
    ++k;
    v[k] = q;
    z[k] = s;
    z[k + 1] = inf;
  }
  k = 0;
  for (int q = 0; q < n; ++q) {
    while (z[k + 1] < q) ++k;
    d[q] = Sq(q - v[k]) + f[v[k]];
  }
}

// Distance of each cell of `inside` to the nearest cell outside it; the
// grid's border counts as outside.
std::vector<double> DistanceToOutside(const std::vector<uint8_t>& inside, int w, int h) {
  const int pw = w + 2, ph = h + 2;
  constexpr double far = 1e12;
  std::vector<double> grid(static_cast<size_t>(pw) * ph, 0.0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) grid[static_cast<size_t>(y + 1) * pw + x + 1] = inside[static_cast<size_t>(y) * w + x] ? far : 0;
  const int n = std::max(pw, ph);
  std::vector<double> f(n), d(n), z(n + 1);
  std::vector<int> v(n);
  for (int x = 0; x < pw; ++x) {
    for (int y = 0; y < ph; ++y) f[y] = grid[static_cast<size_t>(y) * pw + x];
    DistanceLine(f.data(), d.data(), ph, v, z);
    for (int y = 0; y < ph; ++y) grid[static_cast<size_t>(y) * pw + x] = d[y];
  }
  for (int y = 0; y < ph; ++y) {
    double* row = &grid[static_cast<size_t>(y) * pw];
    std::copy(row, row + pw, f.begin());
    DistanceLine(f.data(), d.data(), pw, v, z);
    std::copy(d.begin(), d.begin() + pw, row);
  }
  std::vector<double> out(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out[static_cast<size_t>(y) * w + x] = std::sqrt(grid[static_cast<size_t>(y + 1) * pw + x + 1]);
  return out;
}

constexpr int kSub = 4;                 // samples per pixel along each axis
constexpr uint32_t kRimNeutral = 0x141518;  // what the edges are antialiased against

}  // namespace

TSurface CarSprite(int number) {
  const TCarModel model(PlayerCar(number));
  const TCarDesign& d = model.Design();
  const int w = 2 * d.HalfWidth, h = 2 * d.HalfHeight;
  const int sw = w * kSub, sh = h * kSub;
  // Heights at every sample and one sample round the edge, for the slopes.
  const int gw = sw + 2, gh = sh + 2;
  std::vector<double> height(static_cast<size_t>(gw) * gh);
  for (int j = 0; j < gh; ++j)
    for (int i = 0; i < gw; ++i)
      height[static_cast<size_t>(j) * gw + i] = model.Height((i - 0.5) / kSub - w / 2.0, (j - 0.5) / kSub - h / 2.0);
  std::vector<TVec> colour(static_cast<size_t>(sw) * sh);
  std::vector<uint8_t> inside(colour.size(), 0);
  for (int j = 0; j < sh; ++j)
    for (int i = 0; i < sw; ++i) {
      const double* at = &height[static_cast<size_t>(j + 1) * gw + i + 1];
      if (*at <= 0) continue;
      const double x = (i + 0.5) / kSub - w / 2.0, y = (j + 0.5) / kSub - h / 2.0;
      const TVec n = Normalize({-(at[1] - at[-1]) * kSub / 2, -(at[gw] - at[-gw]) * kSub / 2, 1});
      const size_t k = static_cast<size_t>(j) * sw + i;
      inside[k] = 1;
      colour[k] = model.Shade({x, y, *at}, n, {0, 0, 1}, false);
    }

  // A dark rim about a pixel and a half wide, so the car stands out of any
  // road it is turned over.
  const std::vector<double> dist = DistanceToOutside(inside, sw, sh);
  const TVec rim = Mix(Linear(0x0b0c0f), Linear(d.Paint), 0.05);
  return paint::DownsampleWithRim(w, h, kSub, colour, inside, dist, {rim, Linear(kRimNeutral), CarKey, 1});
}

}  // namespace cars

void AddCarSprites(TImageItems& res2) {
  for (int car = 1; car <= cars::PlayerCarCount; ++car) {
    TSurface sprite = cars::CarSprite(car);
    const int w = sprite.Width, h = sprite.Height;
    res2.push_back(KeyedPicture("Car" + std::to_string(car), std::move(sprite), cars::CarKey, w, h));
  }
}

// ---- Previews --------------------------------------------------------------------

namespace {

// Asphalt as the race shows it: cool dark grey with fine grain.
void FillAsphalt(TSurface& page) {
  for (int y = 0; y < page.Height; ++y)
    for (int x = 0; x < page.Width; ++x) {
      const int n = static_cast<int>(paint::HashUnit(x, y, 0xA5FA17) * 9) - 4;
      auto ch = [&](int v) { return static_cast<uint32_t>(std::clamp(v + n, 0, 255)); };
      page.Row(y)[x] = ch(0x3b) << 16 | ch(0x3e) << 8 | ch(0x45);
    }
}

// Lane marks between the preview's rows and columns, to judge the cars
// against white paint as well.
void PaintLaneMarks(TSurface& page, int spacing) {
  for (int x = spacing; x < page.Width; x += spacing)
    for (int y = 0; y < page.Height; ++y)
      if (y % 40 < 22)
        for (int dx = -2; dx < 2; ++dx) page.Row(y)[x + dx] = 0xe8e8e4;
}

}  // namespace

void WriteCarSpritePreviews(const TImageItems&, const TImageItems& res2, const std::string& dir) {
  const std::string out = dir + "/cars";
  std::filesystem::create_directories(out);

  // Every sprite three times enlarged, pixels kept sharp.
  constexpr int kZoom = 3, kGap = 24;
  int pageWidth = kGap, pageHeight = 0;
  for (int car = 1; car <= cars::PlayerCarCount; ++car) {
    const TPictureCollectionItem& item = FindPicture(res2, "Car" + std::to_string(car));
    pageWidth += item.Width() * kZoom + kGap;
    pageHeight = std::max(pageHeight, item.Height() * kZoom + 2 * kGap);
  }
  TSurface zoomed;
  zoomed.Resize(pageWidth, pageHeight);
  FillAsphalt(zoomed);
  int left = kGap;
  for (int car = 1; car <= cars::PlayerCarCount; ++car) {
    const TPictureCollectionItem& item = FindPicture(res2, "Car" + std::to_string(car));
    item.DrawAlpha(zoomed, {left, kGap, left + item.Width() * kZoom, kGap + item.Height() * kZoom}, 0, 255);
    left += item.Width() * kZoom + kGap;
  }
  WritePng(out + "/sprites_3x.png", zoomed);

  // The race's own rotated draw, about the car's centre, at -64, 0 and 64.
  constexpr int kCell = 180;
  constexpr int kHeadings[] = {-64, 0, 64};
  TSurface turned;
  turned.Resize(kCell * cars::PlayerCarCount, kCell * 3);
  FillAsphalt(turned);
  PaintLaneMarks(turned, kCell);
  for (int car = 1; car <= cars::PlayerCarCount; ++car) {
    const TPictureCollectionItem& item = FindPicture(res2, "Car" + std::to_string(car));
    for (int row = 0; row < 3; ++row)
      item.DrawRotate(turned, (car - 1) * kCell + kCell / 2, row * kCell + kCell / 2, item.Width(), item.Height(), 0,
                      0.5, 0.5, kHeadings[row]);
  }
  WritePng(out + "/sprites_headings.png", turned);
  // The same sheet at twice the size, to judge the rims.
  TSurface turnedZoom;
  turnedZoom.Resize(turned.Width * 2, turned.Height * 2);
  for (int y = 0; y < turnedZoom.Height; ++y)
    for (int x = 0; x < turnedZoom.Width; ++x) turnedZoom.Row(y)[x] = turned.Row(y / 2)[x / 2];
  WritePng(out + "/sprites_headings_2x.png", turnedZoom);
}
