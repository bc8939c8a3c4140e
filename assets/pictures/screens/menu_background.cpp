// "MMBG": dusk over a four-lane road that runs from the lower right into a
// town on the horizon. The sky at the top stays calm for the screen titles
// (top right) and the logo (top left); the field left of the road is dark
// and quiet for the texts other screens print there.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "assets/pictures/screens/menu_art.h"
#include "assets/pictures/screens/title_logo.h"
#include "assets/paint/paint.h"

using namespace paint;

namespace {

constexpr int kWidth = 792;
constexpr int kHeight = 592;

// A pinhole camera 12 m above a flat ground, looking straight along the
// road. x is metres to the right of the camera, y metres above the ground,
// z metres ahead.
struct TCamera {
  double F = 560;
  double Height = 12;
  double VX = 318;  // vanishing point
  double VY = 236;  // horizon

  double SX(double x, double z) const { return VX + F * x / z; }
  double SY(double y, double z) const { return VY + F * (Height - y) / z; }
  double GroundZ(double sy) const { return F * Height / (sy - VY); }
  double GroundX(double sx, double z) const { return (sx - VX) * z / F; }
};
constexpr TCamera kCam;

constexpr double kLane = 3.5;
constexpr double kRoadCentre = 9.1;
constexpr double kRoadLeft = kRoadCentre - 2 * kLane;
constexpr double kRoadRight = kRoadCentre + 2 * kLane;
constexpr double kKerb = 0.35;
constexpr double kWalkRight = kRoadRight + kKerb + 3.2;  // far edge of the right sidewalk
constexpr double kRailX = kRoadLeft - 1.1;               // guard rail on the left verge
constexpr double kLampX = kRoadRight + kKerb + 0.9;      // lamp posts on the right sidewalk
constexpr double kLampHeight = 10.5;
constexpr double kLampReach = 3.6;                       // how far the arm hangs over the road
constexpr double kFirstLamp = 27, kLampSpacing = 32;
constexpr double kNear = 12, kFar = 4000;                // depth range drawn (screen bottom is at 18.9 m)

constexpr uint32_t kSeed = 0x56325452;  // "V2TR"

double Smooth(double e0, double e1, double x) {
  const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

struct TRgb {
  double R, G, B;
};
TRgb Rgb(uint32_t c) { return {((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0}; }
TRgb Mix(TRgb a, TRgb b, double t) { return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t}; }
TRgb Scale(TRgb a, double k) { return {a.R * k, a.G * k, a.B * k}; }
uint32_t Pack(TRgb c) {
  auto ch = [](double v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return 0xFF000000u | ch(c.R) << 16 | ch(c.G) << 8 | ch(c.B);
}

// Haze thickens with distance and takes the colour of the glow over the town.
double Fog(double z) { return 1.0 - std::exp(-z / 240.0); }
TRgb FogColour(double z) { return Mix(Rgb(0x2a1a30), Rgb(0x8a3c44), Smooth(150, 1800, z)); }

// Value noise on the ground plane with octaves faded out once they get
// finer than a pixel's footprint, so distant ground does not shimmer.
double GroundNoise(const TValueNoise& noise, double x, double z, double freq, int octaves, double footprint) {
  double sum = 0, norm = 0, amp = 1;
  for (int i = 0; i < octaves; ++i) {
    const double keep = 1.0 - Smooth(0.25, 0.6, footprint * freq);
    sum += amp * keep * (noise.At(x * freq + i * 31.7, z * freq - i * 13.1) - 0.5);
    norm += amp;
    amp *= 0.5;
    freq *= 2;
  }
  return 0.5 + sum / norm;
}

// ---- Sky -----------------------------------------------------------------

TRgb SkyGradient(double y) {
  struct TKey {
    double Y;
    uint32_t C;
  };
  static const TKey keys[] = {{0, 0x05060f},   {70, 0x0a0c24},  {130, 0x1a1538}, {175, 0x3a1c48},
                              {205, 0x6a2649}, {224, 0xa8403f}, {236, 0xe07a45}};
  if (y <= keys[0].Y) return Rgb(keys[0].C);
  for (size_t i = 1; i < std::size(keys); ++i)
    if (y <= keys[i].Y)
      return Mix(Rgb(keys[i - 1].C), Rgb(keys[i].C), Smooth(keys[i - 1].Y, keys[i].Y, y));
  return Rgb(keys[std::size(keys) - 1].C);
}

// Long thin clouds, dark against the high sky and lit pink from below near
// the horizon. Returns the cloud cover 0..1.
double CloudCover(const TValueNoise& noise, double x, double y) {
  const double n = noise.Fbm(x / 260.0, y / 17.0, 5);
  const double band = Smooth(40, 110, y) * (1 - Smooth(200, 232, y));
  // Thinner over the right half, where screen titles go.
  const double calm = 1.0 - 0.45 * Smooth(380, 620, x) * (1 - Smooth(150, 205, y));
  return Smooth(0.52, 0.78, n) * band * calm;
}

void PaintSky(const TCanvas& c) {
  const TValueNoise clouds(kSeed + 1);
  c.Flush();
  const int bottom = static_cast<int>(kCam.VY) + 1;
  for (int y = 0; y < bottom; ++y) {
    uint32_t* row = c.Row(y);
    for (int x = 0; x < kWidth; ++x) {
      TRgb sky = SkyGradient(y + 0.5);
      const double cover = CloudCover(clouds, x, y);
      if (cover > 0) {
        const double lit = Smooth(120, 230, y);
        const TRgb body = Mix(Rgb(0x120f26), Rgb(0x5a2540), lit);
        const TRgb rim = Mix(Rgb(0x2b2448), Rgb(0xd0604c), lit);
        // The lower edge of each cloud catches the light from the horizon.
        const double under = Smooth(0.0, 1.0, CloudCover(clouds, x, y - 3) - cover + 0.5) - 0.5;
        sky = Mix(sky, Mix(body, rim, std::clamp(under * 1.6, 0.0, 1.0)), cover * 0.8);
      }
      row[x] = Pack(sky);
    }
  }
  c.MarkDirty();

  // Stars in the high sky, fewer and fainter towards the horizon and hidden
  // behind clouds.
  cairo_t* cr = c.Cr();
  TRng rng(kSeed + 2);
  for (int i = 0; i < 260; ++i) {
    const double x = rng.Range(0, kWidth), y = std::pow(rng.Unit(), 1.6) * 190;
    const double b = rng.Range(0.15, 1.0) * (1 - Smooth(90, 190, y)) * (1 - CloudCover(clouds, x, y));
    if (b < 0.05) continue;
    const uint32_t tint = rng.Unit() < 0.25 ? 0xffd9b0 : (rng.Unit() < 0.3 ? 0xb0c8ff : 0xf0f0ff);
    const double r = b > 0.85 ? 1.1 : 0.65;
    SetSource(cr, tint, b);
    cairo_arc(cr, x, y, r, 0, 2 * std::numbers::pi);
    cairo_fill(cr);
    if (b > 0.92) {
      cairo_pattern_t* halo = RadialGradient(x, y, 0, 5, {{0, tint, 0.35}, {1, tint, 0}});
      cairo_set_source(cr, halo);
      cairo_arc(cr, x, y, 5, 0, 2 * std::numbers::pi);
      cairo_fill(cr);
      cairo_pattern_destroy(halo);
    }
  }

  // The town lights the haze above it.
  cairo_save(cr);
  cairo_translate(cr, kCam.VX + 40, kCam.VY);
  cairo_scale(cr, 2.6, 1.0);
  cairo_pattern_t* glow = RadialGradient(0, 0, 0, 150, {{0, 0xff8a4a, 0.42}, {0.45, 0xd0503a, 0.16}, {1, 0x802040, 0}});
  cairo_set_source(cr, glow);
  cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
  cairo_rectangle(cr, -200, -160, 400, 160);
  cairo_fill(cr);
  cairo_pattern_destroy(glow);
  cairo_restore(cr);
}

// ---- Town on the horizon ---------------------------------------------------

struct TBuilding {
  double X, W, H;
};

std::vector<TBuilding> Skyline(uint32_t seed, double left, double right, double peak, double peakX, double spread,
                               double minW, double maxW) {
  std::vector<TBuilding> out;
  TRng rng(seed);
  for (double x = left; x < right;) {
    const double w = rng.Range(minW, maxW);
    const double envelope = std::exp(-std::pow((x - peakX) / spread, 2));
    const double h = 4 + peak * envelope * rng.Range(0.35, 1.0) + rng.Range(0, 6);
    out.push_back({x, w, h});
    x += w + (rng.Unit() < 0.15 ? rng.Range(1, 5) : 0);
  }
  return out;
}

void PaintTown(const TCanvas& c) {
  cairo_t* cr = c.Cr();
  const double base = kCam.VY + 1.5;

  // Far towers, hazy.
  for (const TBuilding& b : Skyline(kSeed + 10, 60, 640, 58, 300, 170, 9, 24)) {
    cairo_pattern_t* g = LinearGradient(0, base - b.H, 0, base, {{0, 0x33264a}, {1, 0x5a2c4a}});
    cairo_set_source(cr, g);
    cairo_rectangle(cr, b.X, base - b.H, b.W, b.H);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }

  // Near blocks, dark, with lit windows.
  TRng rng(kSeed + 11);
  const std::vector<TBuilding> nearBlocks = Skyline(kSeed + 12, 20, 700, 40, 330, 150, 12, 34);
  double tallest = 0;
  for (const TBuilding& b : nearBlocks) tallest = std::max(tallest, b.H);
  for (const TBuilding& b : nearBlocks) {
    const double top = base - b.H;
    cairo_pattern_t* g = LinearGradient(0, top, 0, base, {{0, 0x1a1428}, {1, 0x2a1830}});
    cairo_set_source(cr, g);
    cairo_rectangle(cr, b.X, top, b.W, b.H);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // A lighter edge on the side that faces the glow over the road.
    SetSource(cr, 0x6a3a58, 0.5);
    cairo_rectangle(cr, b.X + b.W - 1, top, 1, b.H);
    cairo_fill(cr);
    for (double wy = top + 3; wy < base - 3; wy += 3.0)
      for (double wx = b.X + 2; wx < b.X + b.W - 2; wx += 3.0) {
        if (rng.Unit() > 0.28) continue;
        const uint32_t tint = rng.Unit() < 0.7 ? 0xffc870 : (rng.Unit() < 0.5 ? 0xfff0d0 : 0x9fd0ff);
        SetSource(cr, tint, rng.Range(0.35, 0.9));
        cairo_rectangle(cr, wx, wy, 1.4, 1.2);
        cairo_fill(cr);
      }
    if (b.H > tallest * 0.8) {  // aviation lights on the tallest roofs
      SetSource(cr, 0x1a1428);
      cairo_rectangle(cr, b.X + b.W / 2 - 0.5, top - 7, 1, 7);
      cairo_fill(cr);
      cairo_pattern_t* red = RadialGradient(b.X + b.W / 2, top - 7, 0, 4, {{0, 0xff4030, 0.95}, {1, 0xff2020, 0}});
      cairo_set_source(cr, red);
      cairo_arc(cr, b.X + b.W / 2, top - 7, 4, 0, 2 * std::numbers::pi);
      cairo_fill(cr);
      cairo_pattern_destroy(red);
    }
  }

  // Haze rising from the streets between the blocks.
  cairo_pattern_t* haze = LinearGradient(0, base - 26, 0, base, {{0, 0xc05848, 0}, {1, 0xd86a50, 0.55}});
  cairo_set_source(cr, haze);
  cairo_rectangle(cr, 0, base - 26, kWidth, 26);
  cairo_fill(cr);
  cairo_pattern_destroy(haze);
}

// ---- Ground ---------------------------------------------------------------

// Per-pixel textures of the three ground materials; the road and sidewalk
// are then filled through Cairo paths so their edges are antialiased.
void PaintGroundTextures(const TCanvas& field, const TCanvas& asphalt, const TCanvas& paving) {
  const TValueNoise noise(kSeed + 20);
  const TValueNoise wear(kSeed + 21);
  field.Flush();
  asphalt.Flush();
  paving.Flush();
  const int top = static_cast<int>(kCam.VY);
  for (int y = top; y < kHeight; ++y) {
    const double sy = y + 0.5;
    if (sy <= kCam.VY + 0.05) continue;
    const double z = kCam.GroundZ(sy);
    const double fog = Fog(z);
    const TRgb fogColour = FogColour(z);
    // Size of one pixel on the ground, across and along.
    const double across = z / kCam.F, along = z * z / (kCam.F * kCam.Height);
    const double footprint = std::max(across, along);
    uint32_t* fieldRow = field.Row(y);
    uint32_t* asphaltRow = asphalt.Row(y);
    uint32_t* pavingRow = paving.Row(y);
    for (int x = 0; x < kWidth; ++x) {
      const double gx = kCam.GroundX(x + 0.5, z);

      // Field: dark grass with patches and tufts.
      const double patch = GroundNoise(noise, gx, z, 0.08, 3, footprint);
      const double tuft = GroundNoise(noise, gx + 400, z, 1.3, 3, footprint);
      TRgb grass = Mix(Rgb(0x0a110f), Rgb(0x1e2a22), Smooth(0.3, 0.75, patch));
      grass = Scale(grass, 0.75 + 0.55 * tuft);
      fieldRow[x] = Pack(Mix(grass, fogColour, fog));

      // Asphalt: fine aggregate, darker wheel tracks in every lane.
      const double grit = GroundNoise(noise, gx - 900, z, 3.0, 3, footprint);
      const double mottle = GroundNoise(wear, gx, z * 0.15, 0.4, 3, footprint);
      double tracks = 0;
      for (int lane = 0; lane < 4; ++lane) {
        const double centre = kRoadLeft + kLane * (lane + 0.5);
        for (double wheel : {-0.85, 0.85}) tracks += std::exp(-std::pow((gx - centre - wheel) / 0.35, 2));
      }
      TRgb road = Scale(Rgb(0x24262d), 0.82 + 0.3 * grit + 0.2 * (mottle - 0.5) - 0.12 * tracks);
      asphaltRow[x] = Pack(Mix(road, fogColour, fog));

      // Paving: warm grey slabs of 1.2 m with dark joints.
      const double fx = gx / 1.2 - std::floor(gx / 1.2), fz = z / 1.2 - std::floor(z / 1.2);
      const double jointX = 1 - Smooth(0, std::max(0.04, across / 1.2), std::min(fx, 1 - fx));
      const double jointZ = 1 - Smooth(0, std::max(0.04, along / 1.2), std::min(fz, 1 - fz));
      const double joint = std::max(jointX, jointZ) * (1 - Smooth(0.2, 0.6, footprint / 1.2));
      const double slab = HashUnit(static_cast<int>(std::floor(gx / 1.2)), static_cast<int>(std::floor(z / 1.2)), kSeed);
      TRgb stone = Scale(Rgb(0x2e2a27), 0.9 + 0.18 * slab + 0.15 * (grit - 0.5));
      stone = Mix(stone, Rgb(0x141212), joint * 0.7);
      pavingRow[x] = Pack(Mix(stone, fogColour, fog));
    }
  }
  field.MarkDirty();
  asphalt.MarkDirty();
  paving.MarkDirty();
}

// A ground strip from x0 to x1 (metres), near to far, as a screen polygon.
void GroundStrip(cairo_t* cr, double x0, double x1, double zNear, double zFar) {
  cairo_move_to(cr, kCam.SX(x0, zNear), kCam.SY(0, zNear));
  cairo_line_to(cr, kCam.SX(x1, zNear), kCam.SY(0, zNear));
  cairo_line_to(cr, kCam.SX(x1, zFar), kCam.SY(0, zFar));
  cairo_line_to(cr, kCam.SX(x0, zFar), kCam.SY(0, zFar));
  cairo_close_path(cr);
}

// A vertical gradient along the ground that fades a light colour into the
// haze the way the textures do, for marks drawn as flat paths.
cairo_pattern_t* FoggedAlong(uint32_t rgb, double alpha) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, kCam.SY(0, kNear), 0, kCam.VY);
  for (double z : {kNear, 25.0, 40.0, 70.0, 120.0, 200.0, 350.0, 600.0, 1200.0, kFar}) {
    const double t = (kCam.SY(0, kNear) - kCam.SY(0, z)) / (kCam.SY(0, kNear) - kCam.VY);
    const TRgb c = Mix(Rgb(rgb), FogColour(z), Fog(z));
    cairo_pattern_add_color_stop_rgba(p, t, c.R, c.G, c.B, alpha * (1 - 0.6 * Fog(z)));
  }
  return p;
}

void PaintGround(const TCanvas& c) {
  TCanvas field(kWidth, kHeight), asphalt(kWidth, kHeight), paving(kWidth, kHeight);
  PaintGroundTextures(field, asphalt, paving);
  cairo_t* cr = c.Cr();

  cairo_save(cr);
  cairo_rectangle(cr, 0, kCam.VY, kWidth, kHeight - kCam.VY);
  cairo_clip(cr);
  cairo_set_source_surface(cr, field.Surface(), 0, 0);
  cairo_paint(cr);
  cairo_restore(cr);

  cairo_set_source_surface(cr, paving.Surface(), 0, 0);
  GroundStrip(cr, kRoadRight + kKerb, kWalkRight, kNear, kFar);
  cairo_fill(cr);
  cairo_set_source_surface(cr, asphalt.Surface(), 0, 0);
  GroundStrip(cr, kRoadLeft, kRoadRight, kNear, kFar);
  cairo_fill(cr);

  // Kerbs: light concrete, just catching the lamps.
  for (double x : {kRoadLeft - kKerb, kRoadRight}) {
    cairo_pattern_t* kerb = FoggedAlong(0x8a847c, 0.75);
    cairo_set_source(cr, kerb);
    GroundStrip(cr, x, x + kKerb, kNear, kFar);
    cairo_fill(cr);
    cairo_pattern_destroy(kerb);
  }

  // Lane marks: solid at the edges, a double line in the middle, dashes
  // between the lanes of one direction.
  cairo_pattern_t* paint = FoggedAlong(0xd8d6cc, 0.8);
  cairo_set_source(cr, paint);
  for (double x : {kRoadLeft + 0.25, kRoadRight - 0.4, kRoadCentre - 0.3, kRoadCentre + 0.15}) {
    GroundStrip(cr, x, x + 0.15, kNear, kFar);
    cairo_fill(cr);
  }
  for (double x : {kRoadCentre - kLane, kRoadCentre + kLane})
    for (double z = kNear - 4; z < 900; z += 12) {
      GroundStrip(cr, x - 0.08, x + 0.08, z, z + 4);
      cairo_fill(cr);
    }
  cairo_pattern_destroy(paint);
}

// The guard rail on the left verge: a steel band on short posts that picks
// up the lamp light along its top edge.
void PaintGuardRail(const TCanvas& c) {
  cairo_t* cr = c.Cr();
  const double zFar = 1500;
  for (double z = 200; z >= kNear; z -= 4) {
    const double x = kCam.SX(kRailX, z), w = std::max(0.6, kCam.F * 0.12 / z);
    SetSource(cr, 0x15161b, 1 - Fog(z));
    cairo_rectangle(cr, x - w / 2, kCam.SY(0.7, z), w, kCam.SY(0, z) - kCam.SY(0.7, z));
    cairo_fill(cr);
  }
  auto band = [&](double y0, double y1) {
    cairo_move_to(cr, kCam.SX(kRailX, kNear), kCam.SY(y0, kNear));
    cairo_line_to(cr, kCam.SX(kRailX, zFar), kCam.SY(y0, zFar));
    cairo_line_to(cr, kCam.SX(kRailX, zFar), kCam.SY(y1, zFar));
    cairo_line_to(cr, kCam.SX(kRailX, kNear), kCam.SY(y1, kNear));
    cairo_close_path(cr);
  };
  cairo_pattern_t* steel = FoggedAlong(0x3a3c44, 1.0);
  cairo_set_source(cr, steel);
  band(0.45, 0.75);
  cairo_fill(cr);
  cairo_pattern_destroy(steel);
  cairo_pattern_t* shine = FoggedAlong(0xe8b080, 0.55);
  cairo_set_source(cr, shine);
  band(0.72, 0.76);
  cairo_fill(cr);
  cairo_pattern_destroy(shine);
  // Amber reflectors on every other post, picking up the oncoming headlights.
  auto reflectors = [&](cairo_t* p, double grow) {
    for (double z = 16; z < 400; z += 8) {
      const double r = std::max(0.5, kCam.F * 0.07 / z) * grow;
      SetSource(p, 0xffa030, 0.95 * (1 - Fog(z)));
      cairo_arc(p, kCam.SX(kRailX + 0.1, z), kCam.SY(0.6, z), r, 0, 2 * std::numbers::pi);
      cairo_fill(p);
    }
  };
  PaintBlurred(c, 2.5, 0, 0, 0.8, [&](cairo_t* p) { reflectors(p, 2.5); }, CAIRO_OPERATOR_ADD);
  reflectors(cr, 1);
}

// Behind the right sidewalk: a dark band of trees with the dusk on their
// crowns, and in front of it a row of low houses with lit windows.
constexpr double kTreeX = kWalkRight + 9.0;
constexpr double kHouseX = kWalkRight + 2.5;

double NearestVisible(double x) { return kCam.F * x / (kWidth + 60 - kCam.VX); }

void PaintTrees(const TCanvas& c) {
  cairo_t* cr = c.Cr();
  const TValueNoise noise(kSeed + 30);
  const double zNear = NearestVisible(kTreeX), zFar = 1400;
  auto crown = [&](double z) {
    return 8.0 + 4.0 * noise.Fbm(z / 10.0, 0.5, 4) + 2.0 * noise.At(z / 2.5, 3.5);
  };
  auto outline = [&](cairo_t* p) {
    cairo_move_to(p, kCam.SX(kTreeX, zNear), kCam.SY(0, zNear));
    for (double z = zNear; z < zFar; z *= 1.006) cairo_line_to(p, kCam.SX(kTreeX, z), kCam.SY(crown(z), z));
    cairo_line_to(p, kCam.SX(kTreeX, zFar), kCam.SY(0, zFar));
    cairo_close_path(p);
  };
  // Crowns catch the last light of the sky along their tops.
  PaintBlurred(c, 1.2, 0, -1.2, 0.8, [&](cairo_t* p) {
    SetSource(p, 0x8a4a6a);
    outline(p);
    cairo_fill(p);
  });
  outline(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(kWidth, 0, kCam.VX, 0);
  AddStops(g, {{0, 0x06080a}, {0.5, 0x0c0d14}, {0.85, 0x2a1a2c}, {1, 0x5a2a3a}});
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

struct THouse {
  double ZNear, ZFar, Height, Depth;
};

std::vector<THouse> Houses() {
  std::vector<THouse> out;
  TRng rng(kSeed + 32);
  for (double z = NearestVisible(kHouseX) + 2; z < 500;) {
    const double length = rng.Range(9, 15);
    out.push_back({z, z + length, rng.Range(4.5, 6.5), rng.Range(7, 10)});
    z += length + rng.Range(6, 22) * (1 + z / 200);
  }
  return out;
}

// A quad on the plane x = const, from z0 to z1 and height y0 to y1.
void FacadeQuad(cairo_t* cr, double x, double z0, double z1, double y0, double y1) {
  cairo_move_to(cr, kCam.SX(x, z0), kCam.SY(y0, z0));
  cairo_line_to(cr, kCam.SX(x, z1), kCam.SY(y0, z1));
  cairo_line_to(cr, kCam.SX(x, z1), kCam.SY(y1, z1));
  cairo_line_to(cr, kCam.SX(x, z0), kCam.SY(y1, z0));
  cairo_close_path(cr);
}

void PaintHouses(const TCanvas& c) {
  cairo_t* cr = c.Cr();
  std::vector<THouse> houses = Houses();
  TRng rng(kSeed + 33);
  std::reverse(houses.begin(), houses.end());
  struct TWindow {
    double Z, Y;
    uint32_t Rgb;
    double Alpha;
  };
  std::vector<TWindow> windows;
  for (const THouse& h : houses) {
    const double x0 = kHouseX, x1 = kHouseX + h.Depth, ridge = h.Height + 2.6;
    const double fog = Fog(h.ZNear);
    auto shade = [&](uint32_t rgb) {
      const TRgb col = Mix(Rgb(rgb), FogColour(h.ZNear), fog);
      cairo_set_source_rgb(cr, col.R, col.G, col.B);
    };
    // The gable end facing us, then the long wall along the sidewalk.
    cairo_move_to(cr, kCam.SX(x0, h.ZNear), kCam.SY(0, h.ZNear));
    cairo_line_to(cr, kCam.SX(x1, h.ZNear), kCam.SY(0, h.ZNear));
    cairo_line_to(cr, kCam.SX(x1, h.ZNear), kCam.SY(h.Height, h.ZNear));
    cairo_line_to(cr, kCam.SX((x0 + x1) / 2, h.ZNear), kCam.SY(ridge, h.ZNear));
    cairo_line_to(cr, kCam.SX(x0, h.ZNear), kCam.SY(h.Height, h.ZNear));
    cairo_close_path(cr);
    shade(0x100e14);
    cairo_fill(cr);
    FacadeQuad(cr, x0, h.ZNear, h.ZFar, 0, h.Height);
    shade(0x1c1820);
    cairo_fill(cr);
    // Roof slope towards the road, its eaves lit by the street lamps.
    cairo_move_to(cr, kCam.SX(x0 - 0.4, h.ZNear), kCam.SY(h.Height - 0.2, h.ZNear));
    cairo_line_to(cr, kCam.SX((x0 + x1) / 2, h.ZNear), kCam.SY(ridge, h.ZNear));
    cairo_line_to(cr, kCam.SX((x0 + x1) / 2, h.ZFar), kCam.SY(ridge, h.ZFar));
    cairo_line_to(cr, kCam.SX(x0 - 0.4, h.ZFar), kCam.SY(h.Height - 0.2, h.ZFar));
    cairo_close_path(cr);
    shade(0x2a1c22);
    cairo_fill(cr);
    cairo_move_to(cr, kCam.SX(x0 - 0.4, h.ZNear), kCam.SY(h.Height - 0.2, h.ZNear));
    cairo_line_to(cr, kCam.SX(x0 - 0.4, h.ZFar), kCam.SY(h.Height - 0.2, h.ZFar));
    cairo_set_line_width(cr, std::max(0.5, kCam.F * 0.12 / h.ZNear));
    SetSource(cr, 0xc08050, 0.5 * (1 - fog));
    cairo_stroke(cr);
    // Windows: two floors where the house is tall enough; each lit pane
    // has a cross of glazing bars and a little bloom around it.
    const int floors = h.Height > 5.6 ? 2 : 1;
    const double bar = std::max(0.4, kCam.F * 0.1 / h.ZNear);
    for (int f = 0; f < floors; ++f)
      for (double z = h.ZNear + 1.5; z + 1.3 < h.ZFar - 1; z += 3.2) {
        const double y0 = 1.0 + f * 2.6;
        if (rng.Unit() < 0.4) {
          shade(0x0c0a10);
          FacadeQuad(cr, x0 - 0.01, z, z + 1.3, y0, y0 + 1.4);
          cairo_fill(cr);
          continue;
        }
        const bool tv = rng.Unit() < 0.2;
        const double a = rng.Range(0.6, 0.95) * (1 - 0.8 * fog);
        cairo_pattern_t* pane = LinearGradient(0, kCam.SY(y0 + 1.4, z), 0, kCam.SY(y0, z),
                                               {{0, tv ? 0x5a80d0u : 0xd07830u, a}, {1, tv ? 0xb0d0ffu : 0xffc878u, a}});
        cairo_set_source(cr, pane);
        FacadeQuad(cr, x0 - 0.01, z, z + 1.3, y0, y0 + 1.4);
        cairo_fill(cr);
        cairo_pattern_destroy(pane);
        shade(0x1c1820);
        cairo_set_line_width(cr, bar);
        cairo_move_to(cr, kCam.SX(x0, z + 0.65), kCam.SY(y0, z + 0.65));
        cairo_line_to(cr, kCam.SX(x0, z + 0.65), kCam.SY(y0 + 1.4, z + 0.65));
        cairo_move_to(cr, kCam.SX(x0, z), kCam.SY(y0 + 0.8, z));
        cairo_line_to(cr, kCam.SX(x0, z + 1.3), kCam.SY(y0 + 0.8, z + 1.3));
        cairo_stroke(cr);
        windows.push_back({z, y0, tv ? 0x6a90e0u : 0xff9a40u, a});
      }
  }
  PaintBlurred(c, 5, 0, 0, 0.45, [&](cairo_t* p) {
    for (const TWindow& w : windows) {
      SetSource(p, w.Rgb, w.Alpha);
      FacadeQuad(p, kHouseX - 0.01, w.Z - 0.3, w.Z + 1.6, w.Y - 0.3, w.Y + 1.7);
      cairo_fill(p);
    }
  }, CAIRO_OPERATOR_ADD);
}

// Low mist lying on the fields just under the horizon, lit by the town.
void PaintMist(const TCanvas& c) {
  cairo_t* cr = c.Cr();
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
  cairo_pattern_t* mist = LinearGradient(0, kCam.VY, 0, kCam.VY + 40,
                                         {{0, 0x903848, 0.55}, {0.3, 0x602838, 0.3}, {1, 0x301828, 0}});
  cairo_set_source(cr, mist);
  cairo_rectangle(cr, 0, kCam.VY, kWidth, 40);
  cairo_fill(cr);
  cairo_pattern_destroy(mist);
  cairo_restore(cr);
}

// A village far across the field on the left: a scatter of tiny warm lights
// near the horizon, and a distant road's lamps strung along it.
void PaintDistantLights(const TCanvas& c) {
  auto lights = [](cairo_t* cr, double grow) {
    TRng rng(kSeed + 50);
    for (int i = 0; i < 70; ++i) {
      // Clustered into a few hamlets across the left half of the horizon.
      const double hamlet = rng.Int(0, 3);
      const double sx = 30 + hamlet * 70 + rng.Range(-26, 26);
      const double z = 260 + hamlet * 90 + rng.Range(-40, 60);
      const double sy = kCam.SY(rng.Range(0.5, 5), z);
      SetSource(cr, rng.Unit() < 0.75 ? 0xffb060 : 0xd0e0ff, rng.Range(0.45, 1.0) * (1 - 0.5 * Fog(z)));
      cairo_arc(cr, sx, sy, rng.Range(0.5, 0.9) * grow, 0, 2 * std::numbers::pi);
      cairo_fill(cr);
    }
  };
  PaintBlurred(c, 2.5, 0, 0, 0.9, [&](cairo_t* p) { lights(p, 3); }, CAIRO_OPERATOR_ADD);
  lights(c.Cr(), 1);
}

// ---- Lights ---------------------------------------------------------------

std::vector<double> LampDepths() {
  std::vector<double> z;
  for (double d = kFirstLamp; d < 1400; d += kLampSpacing) z.push_back(d);
  return z;
}

// Sodium pools on the road and the sidewalk under every lamp.
void PaintLampPools(const TCanvas& c) {
  cairo_t* cr = c.Cr();
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
  for (double z : LampDepths()) {
    const double cx = kCam.SX(kLampX - kLampReach * 0.7, z), cy = kCam.SY(0, z);
    const double r = 9.0;
    const double rx = kCam.F * r / z;
    const double ry = std::max(0.5, (kCam.SY(0, z - r * 0.6) - kCam.SY(0, z + r)) / 2);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    const double a = 0.8 * (1 - Fog(z));
    cairo_pattern_t* pool = RadialGradient(0, 0, 0, 1, {{0, 0xffa860, a}, {0.25, 0xf08840, a * 0.7},
                                                        {0.6, 0xc06028, a * 0.25}, {1, 0x802010, 0}});
    cairo_set_source(cr, pool);
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_fill(cr);
    cairo_pattern_destroy(pool);
    cairo_restore(cr);
  }
  cairo_restore(cr);
}

// The damp asphalt mirrors each lamp head as a soft streak down the road.
void PaintLampReflections(const TCanvas& c) {
  PaintBlurred(c, 3, 0, 0, 0.8, [](cairo_t* cr) {
    for (double z : LampDepths()) {
      const double hx = kCam.SX(kLampX - kLampReach, z);
      const double mirrored = kCam.VY + kCam.F * (kCam.Height + kLampHeight - 0.3) / z;
      if (mirrored > kHeight + 20) continue;
      const double rx = std::max(0.8, kCam.F * 0.5 / z), ry = std::max(3.0, kCam.F * 3.5 / z);
      cairo_save(cr);
      cairo_translate(cr, hx, mirrored);
      cairo_scale(cr, rx, ry);
      const double a = 0.5 * (1 - Fog(z));
      cairo_pattern_t* g = RadialGradient(0, 0, 0, 1, {{0, 0xffb060, a}, {1, 0xff8030, 0}});
      cairo_set_source(cr, g);
      cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
      cairo_fill(cr);
      cairo_pattern_destroy(g);
      cairo_restore(cr);
    }
  }, CAIRO_OPERATOR_ADD);
}

void PaintLampPosts(const TCanvas& c) {
  cairo_t* cr = c.Cr();
  std::vector<double> depths = LampDepths();
  std::reverse(depths.begin(), depths.end());
  for (double z : depths) {
    const double fade = 1 - Fog(z);
    const double x = kCam.SX(kLampX, z), base = kCam.SY(0, z), top = kCam.SY(kLampHeight, z);
    const double w = std::max(0.7, kCam.F * 0.22 / z);
    cairo_pattern_t* post = cairo_pattern_create_linear(x - w / 2, 0, x + w / 2, 0);
    AddStops(post, {{0, 0x4a3a3a}, {0.4, 0x1a1a20}, {1, 0x0c0c10}});
    cairo_set_source(cr, post);
    cairo_rectangle(cr, x - w / 2, top, w, base - top);
    cairo_fill(cr);
    // The arm curves out over the road to the lamp head.
    const double hx = kCam.SX(kLampX - kLampReach, z), hy = kCam.SY(kLampHeight - 0.3, z);
    cairo_move_to(cr, x, top + w);
    cairo_curve_to(cr, x, top - w * 2, (x + hx) / 2, top - w, hx, hy);
    cairo_set_line_width(cr, std::max(0.6, w * 0.6));
    SetSource(cr, 0x121218, std::max(0.35, fade));
    cairo_stroke(cr);
    const double hw = std::max(1.2, kCam.F * 0.7 / z), hh = std::max(0.8, kCam.F * 0.22 / z);
    SetSource(cr, 0x18181e);
    cairo_rectangle(cr, hx - hw / 2, hy - hh / 2, hw, hh);
    cairo_fill(cr);
  }
}

void PaintLampGlow(const TCanvas& c) {
  auto heads = [](cairo_t* cr, double scale) {
    for (double z : LampDepths()) {
      const double hx = kCam.SX(kLampX - kLampReach, z), hy = kCam.SY(kLampHeight - 0.3, z) + 0.5;
      const double r = std::max(1.0, kCam.F * 0.45 / z) * scale;
      SetSource(cr, 0xffc070, 0.9 * (1 - 0.7 * Fog(z)));
      cairo_save(cr);
      cairo_translate(cr, hx, hy);
      cairo_scale(cr, 1.6, 1.0);
      cairo_arc(cr, 0, 0, r, 0, 2 * std::numbers::pi);
      cairo_restore(cr);
      cairo_fill(cr);
    }
  };
  PaintBlurred(c, 14, 0, 0, 0.55, [&](cairo_t* cr) { heads(cr, 2.5); }, CAIRO_OPERATOR_ADD);
  PaintBlurred(c, 4, 0, 0, 0.9, [&](cairo_t* cr) { heads(cr, 1.4); }, CAIRO_OPERATOR_ADD);
  cairo_t* cr = c.Cr();
  for (double z : LampDepths()) {
    const double hx = kCam.SX(kLampX - kLampReach, z), hy = kCam.SY(kLampHeight - 0.3, z) + 0.5;
    const double r = std::max(0.6, kCam.F * 0.25 / z);
    SetSource(cr, 0xfff4e0, 1 - 0.5 * Fog(z));
    cairo_save(cr);
    cairo_translate(cr, hx, hy);
    cairo_scale(cr, 1.6, 1.0);
    cairo_arc(cr, 0, 0, r, 0, 2 * std::numbers::pi);
    cairo_restore(cr);
    cairo_fill(cr);
  }
}

// Long-exposure streaks of traffic: white headlights coming down the left
// lanes, red tail lights going away in the right ones.
struct TTrail {
  double X, ZNear, ZFar;
  bool Oncoming;
};

std::vector<TTrail> Trails() {
  std::vector<TTrail> out;
  TRng rng(kSeed + 40);
  const double lanes[4] = {kRoadLeft + kLane * 0.5, kRoadLeft + kLane * 1.5, kRoadLeft + kLane * 2.5,
                           kRoadLeft + kLane * 3.5};
  for (int lane = 0; lane < 4; ++lane)
    for (int i = 0; i < 4; ++i) {
      const double zNear = std::exp(rng.Range(std::log(22.0), std::log(300.0)));
      const double zFar = zNear * rng.Range(2.5, 6.0);
      const double drift = rng.Range(-0.5, 0.5);
      for (double side : {-0.75, 0.75})
        out.push_back({lanes[lane] + drift + side, zNear, zFar, lane < 2});
    }
  return out;
}

void TrailPath(cairo_t* cr, const TTrail& t, double widthMetres, double height) {
  const double w0 = kCam.F * widthMetres / t.ZNear / 2, w1 = kCam.F * widthMetres / t.ZFar / 2;
  const double x0 = kCam.SX(t.X, t.ZNear), y0 = kCam.SY(height, t.ZNear);
  const double x1 = kCam.SX(t.X, t.ZFar), y1 = kCam.SY(height, t.ZFar);
  cairo_move_to(cr, x0 - w0, y0);
  cairo_line_to(cr, x1 - w1, y1);
  cairo_line_to(cr, x1 + w1, y1);
  cairo_line_to(cr, x0 + w0, y0);
  cairo_close_path(cr);
}

void PaintTrails(const TCanvas& c) {
  const std::vector<TTrail> trails = Trails();
  auto draw = [&](cairo_t* cr, double width, double strength) {
    for (const TTrail& t : trails) {
      const uint32_t hot = t.Oncoming ? 0xfff0d0 : 0xff4a30;
      const double height = t.Oncoming ? 0.75 : 0.85;
      // Streaks brighten in the middle and fade out at both ends.
      cairo_pattern_t* g = cairo_pattern_create_linear(kCam.SX(t.X, t.ZNear), kCam.SY(height, t.ZNear),
                                                       kCam.SX(t.X, t.ZFar), kCam.SY(height, t.ZFar));
      const double a = strength * (1 - 0.8 * Fog(t.ZNear));
      AddStops(g, {{0, hot, 0}, {0.18, hot, a}, {0.6, hot, a * 0.8}, {1, hot, 0}});
      cairo_set_source(cr, g);
      TrailPath(cr, t, width, height);
      cairo_fill(cr);
      cairo_pattern_destroy(g);
    }
  };
  PaintBlurred(c, 7, 0, 0, 0.9, [&](cairo_t* cr) { draw(cr, 1.0, 0.7); }, CAIRO_OPERATOR_ADD);
  PaintBlurred(c, 1.0, 0, 0, 1.0, [&](cairo_t* cr) { draw(cr, 0.2, 1.0); }, CAIRO_OPERATOR_ADD);
}

// ---- Title logo -------------------------------------------------------------

// "ВОЛЬТРЕЙС 2" at the top left, clear of the first menu button (x 284).
void PaintLogo(const TCanvas& c) {
  PaintTitleLogo(c,
                 {.Left = 24, .Top = 30, .Width = 242, .TwoSize = 172, .TwoInset = 8, .TwoBase = 206,
                  .TwoBelowWord = false, .ChromeFromInk = true, .LinesBolder = 1, .LinesLonger = 1,
                  .LinesLeftLimit = -std::numeric_limits<double>::infinity()},
                 {5, 5, 6, 10, 0.75, 6, 12, 0.8, 8, 0.7, 5, 10, 3.5, 0.8, 1.2, 1.6});
}

// ---- Finish -------------------------------------------------------------------

void PaintVignette(const TCanvas& c) {
  cairo_t* cr = c.Cr();
  cairo_save(cr);
  cairo_translate(cr, kWidth / 2.0, kHeight / 2.0);
  cairo_scale(cr, 1.25, 1.0);
  cairo_pattern_t* v = RadialGradient(0, 0, 200, 420, {{0, 0x000000, 0}, {0.6, 0x000000, 0.25}, {1, 0x000000, 0.6}});
  cairo_set_source(cr, v);
  cairo_paint(cr);
  cairo_pattern_destroy(v);
  cairo_restore(cr);
  // The lower left, where other screens print text, sinks into shadow.
  cairo_pattern_t* shade = LinearGradient(0, 300, 420, 592, {{0, 0x000000, 0}, {1, 0x000000, 0.35}});
  cairo_set_source(cr, shade);
  cairo_rectangle(cr, 0, kCam.VY, kWidth, kHeight - kCam.VY);
  cairo_fill(cr);
  cairo_pattern_destroy(shade);
}

void PaintMenuBackground(const TCanvas& c) {
  PaintSky(c);
  PaintTown(c);
  PaintGround(c);
  PaintMist(c);
  PaintDistantLights(c);
  PaintTrees(c);
  PaintHouses(c);
  PaintGuardRail(c);
  PaintLampPools(c);
  PaintLampReflections(c);
  PaintLampPosts(c);
  PaintTrails(c);
  PaintLampGlow(c);
  PaintVignette(c);
  PaintLogo(c);
  AddGrain(c, 0.025, kSeed + 99);
}

}  // namespace

const TCanvas& MenuBackground() {
  static const TCanvas canvas(kWidth, kHeight);
  static const bool painted = (PaintMenuBackground(canvas), true);
  (void)painted;
  return canvas;
}
