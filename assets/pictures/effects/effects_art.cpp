// The effects are keyed pictures drawn over whatever lies on the road, so
// they have no alpha to fade with: smoke, flame and the fringe of the
// fireball thin out by ordered dithering instead, which at the game's speed
// reads as a soft edge. Everything is worked out per pixel from seeded
// noise, so every build draws the same frames.
#include "assets/pictures/effects/effects_art.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <vector>

#include "assets/paint/fireball.h"
#include "assets/paint/flame_jet.h"
#include "assets/paint/paint.h"
#include "assets/paint/race_art_pixels.h"

using namespace race_art;

namespace {

constexpr double kPi = std::numbers::pi;

// ---- The big explosion ------------------------------------------------------

constexpr int kBlastSize = 64;
constexpr int kBlastFrames = 16;
constexpr double kBlastCentre = kBlastSize / 2.0;
constexpr uint32_t kBlastSeed = 0x424c5354;  // "BLST"

struct TFragment {
  double DirX, DirY, Reach, Size;
  bool Spark;  // a glowing spark rather than a dark piece of the car
};

struct TBlastPlan {
  std::vector<TBillow> Puffs;
  std::vector<TFragment> Fragments;
};

TBlastPlan PlanBlast() {
  paint::TRng rng(kBlastSeed);
  TBlastPlan plan;
  // The hot heart stays where the car was.
  plan.Puffs.push_back({0, 0, 0, 19, 0, 0.7, 3.1, 7.7});
  constexpr int kPuffs = 17;
  for (int i = 0; i < kPuffs; ++i) {
    const double a = 2 * kPi * i / kPuffs + rng.Range(-0.25, 0.25);
    const bool inner = i % 3 == 0;
    plan.Puffs.push_back({std::cos(a), std::sin(a), inner ? rng.Range(6, 11) : rng.Range(14, 20),
                          inner ? rng.Range(11, 14) : rng.Range(9, 12.5), rng.Range(0.0, 0.12),
                          rng.Range(0.85, 1.25), rng.Range(0, 50), rng.Range(0, 50)});
  }
  for (int i = 0; i < 10; ++i) {
    const double a = 2 * kPi * (i + rng.Range(0.1, 0.9)) / 10;
    const bool spark = i % 3 == 2;
    plan.Fragments.push_back({std::cos(a), std::sin(a), spark ? rng.Range(44, 56) : rng.Range(36, 50),
                              spark ? 0.8 : rng.Range(1.2, 1.9), spark});
  }
  return plan;
}

// Colour of the fire by its heat (1 white hot, 0 cold smoke); cold smoke
// greys and lightens as it spreads out.
TRgb FireColour(double heat, double age) {
  static constexpr TRampStop kRamp[] = {{0.00, 0x2a2523}, {0.16, 0x3e2920}, {0.30, 0x7a2a10}, {0.45, 0xcf4812},
                                        {0.60, 0xff8a1c}, {0.76, 0xffc64e}, {0.90, 0xfff0b0}, {1.00, 0xffffff}};
  heat = Clamp01(heat);
  const TRgb c = Ramp(kRamp, heat);
  const double smoke = 1 - Smooth(0.0, 0.3, heat);
  return Mix(c, Hex(0x57514e), smoke * Smooth(0.45, 1.0, age) * 0.8);
}

// A car's billows ease out from the centre, swell to more than twice their
// first size and thin away from about a third of their time.
double PuffHeat(double weight, double tau, double s, double cooling) {
  return weight * (Clamp01(1.12 - tau * 1.55 * cooling) * (1.05 - 0.25 * s));
}
constexpr TBillowing kBillowing = {.SpreadPower = 3, .SizeFrom = 0.5, .SizeGrowth = 0.7, .Reach = 1.6, .Fray = 0.55,
                                   .FrayScale = 0.16, .FrayDrift = 1.7, .FadeFrom = 0.38, .FadeTo = 0.93,
                                   .Heat = PuffHeat};

TSurface BlastFrame(const TBlastPlan& plan, int frame) {
  const double t = static_cast<double>(frame) / (kBlastFrames - 1);
  const paint::TValueNoise billow(kBlastSeed + 1);
  // The rim cools first, and the fire burns on in patches inside the smoke.
  auto burn = [&](double heat, double px, double py) {
    const double fromCentre = std::hypot(px - kBlastCentre, py - kBlastCentre);
    const double patches = billow.Fbm(px * 0.11 + 21.3, py * 0.11 - t * 2.2, 3) - 0.5;
    const double rim = 0.32 * Smooth(6, 28, fromCentre) * Smooth(0.04, 0.3, t) +
                       0.45 * Smooth(3, 19, fromCentre) * (1 - Smooth(0.2, 0.45, t));
    return heat - rim + 0.5 * patches * Smooth(0.1, 0.35, t);
  };
  TPixelLayer layer(kBlastSize, kBlastSize);
  LayCloud(layer, BillowCloud(kBlastSize, kBlastCentre, plan.Puffs, kBillowing, billow, t, burn), t, FireColour,
           0.12, 1.7);

  // Pieces of the car flying out, each with a hot streak behind it, and
  // sparks; they leave the picture within the first half of the blast.
  for (const TFragment& f : plan.Fragments) {
    if (frame == 0) break;
    const double travel = f.Reach * (1 - (1 - t) * (1 - t)) + 6;
    const double fx = kBlastCentre + f.DirX * travel, fy = kBlastCentre + f.DirY * travel;
    const double tail = f.Spark ? 6 : 4;
    for (int y = static_cast<int>(fy - tail - 3); y <= fy + tail + 3; ++y)
      for (int x = static_cast<int>(fx - tail - 3); x <= fx + tail + 3; ++x) {
        const double rx = x + 0.5 - fx, ry = y + 0.5 - fy;
        const double along = -(rx * f.DirX + ry * f.DirY), across = std::abs(rx * f.DirY - ry * f.DirX);
        if (along > 0 && along < tail && across < 0.9) {
          const double k = 1 - along / tail;
          layer.Over(x, y, f.Spark ? Mix(Hex(0xff8a20), Hex(0xfff4c0), k) : Mix(Hex(0xa03a10), Hex(0xffb040), k),
                     k * (f.Spark ? 1.0 : 0.8));
        }
        const double r = std::hypot(rx, ry);
        if (r < f.Size)
          layer.Over(x, y, f.Spark ? Hex(0xfffbe0) : Mix(Hex(0x1a1411), Hex(0x4a3a30), Clamp01(-(rx + ry) / 2)),
                     1.0);
      }
  }

  // The first frame is the flash: short rays round the white core.
  if (frame == 0) {
    for (int ray = 0; ray < 8; ++ray) {
      const double a = ray * kPi / 4 + 0.3;
      const double len = ray % 2 ? 13 : 19;
      for (double s = 6; s < len; s += 0.4) {
        const double k = 1 - s / len;
        layer.Over(static_cast<int>(kBlastCentre + std::cos(a) * s), static_cast<int>(kBlastCentre + std::sin(a) * s),
                   Mix(Hex(0xffa030), Hex(0xfff6d0), k), 0.3 + k);
      }
    }
  }
  return layer.Keyed(true);
}

TSurface ExplosionSheet() {
  const TBlastPlan plan = PlanBlast();
  std::vector<TSurface> frames;
  for (int f = 0; f < kBlastFrames; ++f) frames.push_back(BlastFrame(plan, f));
  return PatternRow(frames);
}

// ---- The nitro flame --------------------------------------------------------

// 16 x 51: the car draws it with its top 8 rows under its own rear, so the
// nozzle is at row 8 and the flame runs down from there.
constexpr int kFlameWidth = 16, kFlameHeight = 51;
constexpr int kFlamePatterns = 4;
constexpr double kNozzleY = 6.5;

TRgb FlameColour(double heat) {
  static constexpr TRampStop kRamp[] = {{0.00, 0x6a2ccc}, {0.14, 0x4a3ae8}, {0.28, 0x2f62ff},
                                        {0.45, 0x5aaeff}, {0.64, 0xbfe6ff}, {0.82, 0xf6fbff}};
  return Ramp(kRamp, heat);
}

// It leaves the nozzle narrow, swells and tapers to a wavering tip.
double FlameHalfWidth(double u) {
  return 0.6 + 5.0 * (u < 0.12 ? 0.62 + 0.38 * u / 0.12 : std::pow(1 - (u - 0.12) / 0.88, 0.8));
}

double FlameHeat(double u, double s, double n) {
  // Shock diamonds: two bright knots along the axis of the jet.
  const double knots = (0.28 * std::exp(-std::pow((u - 0.2) / 0.05, 2)) +
                        0.2 * std::exp(-std::pow((u - 0.4) / 0.05, 2))) * (1 - s);
  return std::pow(1 - u, 1.25) * (1 - 0.75 * s) + knots + 0.12 * n;
}

TFlameJet NitroFlame(int pattern) {
  static constexpr double kTip[kFlamePatterns] = {44.5, 49.5, 41.5, 47.0};
  static constexpr double kPhase[kFlamePatterns] = {0.0, 2.1, 4.0, 5.3};
  return {.Width = kFlameWidth, .Height = kFlameHeight, .NozzleY = kNozzleY, .Length = kTip[pattern] - kNozzleY,
          .HalfWidth = FlameHalfWidth, .Sway = 0.9, .SwayRate = 8.5, .SwayPhase = kPhase[pattern], .Reach = 1.15,
          .FlickerSeed = 0x464c4d45u + pattern * 31u, .FlickerX = 0.3, .FlickerY = 0.11, .FlickerDrift = pattern * 1.9,
          .Body = 1, .Cover = 1.6, .CoverFlicker = 1.2, .FadeFrom = 0.7, .Heat = FlameHeat, .Colour = FlameColour};
}

// ---- Marks ------------------------------------------------------------------

// Both marks are drawn turned at 10 x 14, one for each rear wheel, laid
// about every 10 pixels of travel so that they overlap into a trail.
constexpr int kMarkWidth = 10, kMarkHeight = 14;

// Rubber smeared on the road: a band the width of a tyre, darker grooves
// along it, streaky, its sides fading towards the asphalt.
TSurface TyreMark() {
  TPixelLayer layer(kMarkWidth, kMarkHeight);
  for (int y = 0; y < kMarkHeight; ++y)
    for (int x = 1; x < kMarkWidth - 1; ++x) {
      const double streak = 0.92 + 0.16 * paint::HashUnit(x, 0, 0x54595245u);
      const double grain = 0.06 * (paint::HashUnit(x, y, 0x54595246u) - 0.5);
      const bool groove = x == 3 || x == 6;
      TRgb c = Scale(Hex(0x25262a), streak + grain - (groove ? 0.14 : 0));
      // The sides are worn thinner: a shade nearer the road's own.
      if (x == 1 || x == kMarkWidth - 2) c = Mix(c, Hex(0x34363c), 0.6);
      layer.Over(x, y, c, 1.0);
    }
  return layer.Keyed(false);
}

// Blood picked up by a tyre: a dark-red print the width of the tread,
// broken and ragged, with a few drops beside it, so that the prints laid
// one after another read as a smeared track.
TSurface BloodMark() {
  TPixelLayer layer(kMarkWidth, kMarkHeight);
  const paint::TValueNoise smear(0x424c4f44u);
  struct TDrop {
    double X, Y, R;
  };
  static constexpr TDrop kDrops[] = {{1.3, 3.5, 0.8}, {8.7, 9.5, 0.9}, {8.4, 1.6, 0.6}};
  for (int y = 0; y < kMarkHeight; ++y)
    for (int x = 0; x < kMarkWidth; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      const double n = smear.Fbm(px * 0.45, py * 0.3, 2);
      const double halfWidth = 2.2 + 1.6 * n;
      const double s = std::abs(px - 5.0 - 0.6 * std::sin(py * 0.5)) / halfWidth;
      double cover = s < 1 ? 1.4 - 0.9 * smear.At(px * 0.9 + 7, py * 0.9) : 0;
      for (const TDrop& d : kDrops)
        if (std::hypot(px - d.X, py - d.Y) < d.R) cover = 1;
      if (cover <= 0) continue;
      TRgb c = Mix(Hex(0x7a0a0e), Hex(0x4a0407), Smooth(0.4, 1.0, s) * 0.8 + 0.3 * n);
      layer.Over(x, y, c, cover);
    }
  return layer.Keyed(true);
}

}  // namespace

void AddEffectArt(TImageItems& res2) {
  res2.push_back(KeyedPicture("ExplosionBig", ExplosionSheet(), kKey, kBlastSize, kBlastSize));
  res2.push_back(KeyedPicture("NitroAnim", FlameJetSheet(kFlamePatterns, NitroFlame), kKey, kFlameWidth, kFlameHeight));
  res2.push_back(KeyedPicture("Handbrake", TyreMark(), kKey));
  res2.push_back(KeyedPicture("Blood", BloodMark(), kKey));
}

namespace {

// Asphalt the colour of the road, for judging keyed pictures against it.
void FillAsphalt(const paint::TCanvas& c) {
  paint::SetSource(c.Cr(), 0x3b3e45);
  cairo_paint(c.Cr());
  paint::AddGrain(c, 0.03, 11);
}

// Every pattern of `item` in rows of `columns` with a gap between them,
// enlarged `zoom` times.
void WriteStrip(const TPictureCollectionItem& item, int zoom, int columns, const std::string& path) {
  const int w = item.Width(), h = item.Height(), count = item.PatternCount(), gap = 4;
  const int rows = (count + columns - 1) / columns;
  paint::TCanvas strip(std::min(count, columns) * (w + gap) + gap, rows * (h + gap) + gap);
  FillAsphalt(strip);
  for (int p = 0; p < count; ++p) {
    const int left = gap + (p % columns) * (w + gap), top = gap + (p / columns) * (h + gap);
    TSurface one;
    one.Resize(w, h);
    const TPixelView view = item.Pattern(p);
    paint::TCanvas under(w, h);
    paint::CopyCrop(strip, left, top, under);
    under.Flush();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t s = view.Pixels[static_cast<size_t>(y) * view.Stride + x];
        one.Row(y)[x] = s == view.Key ? under.Row(y)[x] & 0xFFFFFF : s;
      }
    paint::BlitSurface(strip, one, left, top);
  }
  paint::TCanvas big(strip.Width() * zoom, strip.Height() * zoom);
  cairo_t* cr = big.Cr();
  cairo_scale(cr, zoom, zoom);
  cairo_set_source_surface(cr, strip.Surface(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  paint::WritePng(big, path);
}

}  // namespace

void WriteEffectPreviews(const TImageItems&, const TImageItems& res2, const std::string& dir) {
  const std::string out = dir + "/race";
  std::filesystem::create_directories(out);
  WriteStrip(FindPicture(res2, "ExplosionBig"), 2, 8, out + "/explosion_frames.png");
  WriteStrip(FindPicture(res2, "NitroAnim"), 4, 4, out + "/nitro_flame.png");
  WriteStrip(FindPicture(res2, "Handbrake"), 6, 1, out + "/tyre_mark.png");
  WriteStrip(FindPicture(res2, "Blood"), 6, 1, out + "/blood_mark.png");
}
