// Pedestrians: small round-shouldered figures seen from above, drawn with
// Cairo in the figure's own frame (facing up the picture) and turned to the
// four walking directions. Every part has a soft highlight towards the
// screen's top left and the whole figure a dark rim, so it reads on pale
// paving and on dark asphalt alike; a dithered drop shadow falls to the
// bottom right. The walk is one full stride over the five frames, so the
// game's frame counter, which runs 0 to 4 and starts again, loops smoothly.
#include "assets/pictures/town/pedestrian_art.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <utility>
#include <vector>

#include "assets/paint/paint.h"
#include "assets/paint/race_art_pixels.h"

namespace pedestrians {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint32_t kKey = race_art::kKey;
constexpr uint32_t kRim = 0x141518;
constexpr uint32_t kRimRgb = 0x0b0c0e;
// The walking figures are drawn in units a little under a pixel and scaled
// up to fill the pattern; the lying one already reaches its corners.
constexpr double kWalkScale = 1.1;

struct TPoint {
  double X, Y;
};

struct TFigure {
  bool Girl;
  uint32_t Hair, Skin, Top, Legs, Shoes;
};

// A man: a blue jacket, khaki trousers, short dark brown hair.
constexpr TFigure kMan = {false, 0x3a2a1e, 0xd9a57c, 0x35598c, 0x7a6b4e, 0x16171a};
// A woman: red dress, bare arms and legs, long chestnut hair down her back.
// Dark hair, not fair: a round fair head on a red dress reads as a gold
// chip at the game's scale.
constexpr TFigure kGirl = {true, 0x7e3a1c, 0xe4b08a, 0xd0283e, 0xe0aa84, 0x3a1d22};

// One part of the figure: its outline and its colour.
struct TShape {
  std::function<void(cairo_t*)> Path;
  uint32_t Rgb;
  double Radius;  // about how big it is, for the size of its highlight
  TPoint Centre;
  bool Flat = false;  // lies on the ground: no highlight, no shadow
};

TShape Ellipse(double cx, double cy, double rx, double ry, uint32_t rgb) {
  return {[=](cairo_t* cr) {
            cairo_save(cr);
            cairo_translate(cr, cx, cy);
            cairo_scale(cr, rx, ry);
            cairo_new_sub_path(cr);
            cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
            cairo_restore(cr);
          },
          rgb, std::max(rx, ry), {cx, cy}};
}

TShape Capsule(TPoint a, TPoint b, double r, uint32_t rgb) {
  return {[=](cairo_t* cr) {
            const double angle = std::atan2(b.Y - a.Y, b.X - a.X);
            cairo_new_sub_path(cr);
            cairo_arc(cr, b.X, b.Y, r, angle - kPi / 2, angle + kPi / 2);
            cairo_arc(cr, a.X, a.Y, r, angle + kPi / 2, angle + 3 * kPi / 2);
            cairo_close_path(cr);
          },
          rgb, std::max(r, 0.5 * std::hypot(b.X - a.X, b.Y - a.Y)), {(a.X + b.X) / 2, (a.Y + b.Y) / 2}};
}

uint32_t Shade(uint32_t rgb, double k) {
  auto ch = [&](int shift) {
    const double v = ((rgb >> shift) & 0xFF) * k;
    return static_cast<uint32_t>(std::clamp(v, 0.0, 255.0));
  };
  return ch(16) << 16 | ch(8) << 8 | ch(0);
}

// Paints the shapes in order: first every outline widened in the rim
// colour, so the figure has one dark edge, then each part with a highlight
// towards `light` (the direction of the light in the figure's frame).
void PaintShapes(cairo_t* cr, const std::vector<TShape>& shapes, TPoint light) {
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  for (const TShape& s : shapes) {
    s.Path(cr);
    paint::SetSource(cr, kRim);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
  }
  for (const TShape& s : shapes) {
    s.Path(cr);
    if (s.Flat) {
      paint::SetSource(cr, s.Rgb);
      cairo_fill(cr);
      continue;
    }
    const double hx = s.Centre.X + light.X * 0.45 * s.Radius, hy = s.Centre.Y + light.Y * 0.45 * s.Radius;
    cairo_pattern_t* p = cairo_pattern_create_radial(hx, hy, 0, hx, hy, 1.5 * s.Radius + 0.5);
    paint::AddStops(p, {{0, Shade(s.Rgb, 1.3)}, {0.55, s.Rgb}, {1, Shade(s.Rgb, 0.55)}});
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
}

// A walking figure facing up its frame (y negative is ahead), the centre of
// its shoulders at the origin; `phase` 0..2 pi is the stride.
std::vector<TShape> Walker(const TFigure& f, double phase) {
  const double s = std::sin(phase);
  std::vector<TShape> shapes;
  const double hip = 1.0, stride = 5.0;
  // Legs and shoes: the left foot ahead while s > 0.
  for (int side : {-1, 1}) {
    const double foot = hip + side * stride * s;
    const TPoint from{side * 2.3, hip}, to{side * 2.5, foot};
    shapes.push_back(Capsule(from, to, 1.7, f.Legs));
    shapes.push_back(Ellipse(side * 2.5, foot - 1.0 * (foot < hip ? 1 : -0.4), 1.5, 2.1, f.Shoes));
  }
  if (f.Girl) shapes.push_back(Ellipse(0, 2.0, 4.3, 4.2, Shade(f.Top, 0.88)));  // the skirt, flaring
  // Arms swing against the legs.
  for (int side : {-1, 1}) {
    const double swing = (side < 0 ? 4.6 : -4.6) * s;
    const TPoint shoulder{side * (f.Girl ? 4.4 : 5.1), 0.4}, hand{side * (f.Girl ? 5.2 : 6.0), 0.6 + swing};
    shapes.push_back(Capsule(shoulder, hand, f.Girl ? 1.25 : 1.45, f.Girl ? f.Skin : f.Top));
    shapes.push_back(Ellipse(hand.X, hand.Y, 1.25, 1.25, f.Skin));
  }
  shapes.push_back(Ellipse(0, 0.7, f.Girl ? 5.0 : 5.9, f.Girl ? 3.3 : 3.1, f.Top));
  // Head: face at the front, hair over the rest.
  shapes.push_back(Ellipse(0, -0.6, 3.0, 3.2, f.Skin));
  if (f.Girl) {
    shapes.push_back(Capsule({0, 0.4}, {0, 3.9}, 1.4, f.Hair));
    shapes.push_back(Ellipse(0, -0.1, 2.9, 2.9, f.Hair));
  } else {
    shapes.push_back(Ellipse(0, 0.1, 3.0, 2.7, f.Hair));
  }
  return shapes;
}

// Run over: on its back, arms and legs flung out, head up the frame.
std::vector<TShape> Lying(const TFigure& f) {
  std::vector<TShape> shapes;
  // A small dark pool under the head, running out past a shoulder.
  for (const TShape& pool : {Ellipse(-2.8, -6.0, 5.0, 4.4, 0x5c0a10), Ellipse(-6.8, -2.0, 2.6, 3.0, 0x5c0a10)}) {
    shapes.push_back(pool);
    shapes.back().Flat = true;
  }
  for (int side : {-1, 1}) {
    const TPoint hip{side * 1.8, 3.5}, foot{side * 4.4, 11.5};
    shapes.push_back(Capsule(hip, foot, 1.7, f.Legs));
    shapes.push_back(Ellipse(foot.X + side * 0.4, foot.Y + 1.0, 1.6, 1.8, f.Shoes));
  }
  if (f.Girl) shapes.push_back(Ellipse(0, 4.6, 4.6, 4.2, Shade(f.Top, 0.85)));
  for (int side : {-1, 1}) {
    const TPoint shoulder{side * 4.0, -4.0}, hand{side * 8.2, side < 0 ? -7.2 : -1.5};
    shapes.push_back(Capsule(shoulder, hand, f.Girl ? 1.2 : 1.45, f.Girl ? f.Skin : f.Top));
    shapes.push_back(Ellipse(hand.X, hand.Y, 1.3, 1.3, f.Skin));
  }
  shapes.push_back(Capsule({0, -3.8}, {0, 2.2}, f.Girl ? 4.3 : 5.0, f.Top));
  if (f.Girl) shapes.push_back(Ellipse(0, -10.2, 4.6, 3.8, f.Hair));  // hair spread on the ground
  shapes.push_back(Ellipse(0, -9.4, 3.2, 3.4, f.Skin));
  if (!f.Girl) shapes.push_back(Ellipse(0, -10.6, 3.2, 2.2, f.Hair));
  return shapes;
}

// Draws the shapes turned by `angle` (radians, clockwise on the screen) and
// scaled by `scale` about the pattern's centre, with their shadow
// `shadowOffset` pixels to the bottom right (a figure lying on the ground
// casts hardly any), moved `shift` pixels down and right, and keys the
// result.
TSurface Render(const std::vector<TShape>& shapes, double angle, double scale, double shadowOffset, double shift = 0) {
  constexpr int n = PatternSize;
  // The light comes from the screen's top left; in the figure's frame that
  // direction is turned back by the figure's angle.
  const double lx = -0.7071, ly = -0.7071;
  const TPoint light{lx * std::cos(angle) + ly * std::sin(angle), -lx * std::sin(angle) + ly * std::cos(angle)};
  auto place = [&](cairo_t* cr, double dx, double dy) {
    cairo_translate(cr, n / 2.0 + shift + dx, n / 2.0 + shift + dy);
    cairo_rotate(cr, angle);
    cairo_scale(cr, scale, scale);
  };
  paint::TCanvas figure(n, n), shadow(n, n);
  place(figure.Cr(), 0, 0);
  PaintShapes(figure.Cr(), shapes, light);
  place(shadow.Cr(), shadowOffset, shadowOffset);
  for (const TShape& s : shapes)
    if (!s.Flat) s.Path(shadow.Cr());
  paint::SetSource(shadow.Cr(), 0);
  cairo_fill(shadow.Cr());
  figure.Flush();
  shadow.Flush();
  const race_art::TRgb rim = race_art::Hex(kRim), dark = race_art::Hex(0x0e0f12);
  TSurface out;
  out.Resize(n, n);
  bool body[n][n] = {};
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const uint32_t p = figure.Row(y)[x];
      const double a = (p >> 24) / 255.0;
      uint32_t rgb = kKey;
      if (a >= 0.4) {
        // Un-premultiplied colour, its missing coverage made up by the rim.
        const race_art::TRgb c{((p >> 16) & 0xFF) / 255.0 / a, ((p >> 8) & 0xFF) / 255.0 / a, (p & 0xFF) / 255.0 / a};
        rgb = race_art::Pack(race_art::Mix(rim, c, a));
        body[y][x] = true;
      } else if ((shadow.Row(y)[x] >> 24) >= 128 && ((x + y) & 1) == 0) {
        rgb = race_art::Pack(dark);
      }
      out.Row(y)[x] = rgb;
    }
  // A whole pixel of rim all round the figure: at the game's scale the
  // figure then stands off pale paving, dark asphalt and the bright round
  // chips of the pickups alike.
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      if (body[y][x]) continue;
      const bool edge = (x > 0 && body[y][x - 1]) || (x + 1 < n && body[y][x + 1]) || (y > 0 && body[y - 1][x]) ||
                        (y + 1 < n && body[y + 1][x]);
      if (edge) out.Row(y)[x] = kRimRgb;
    }
  return out;
}

}  // namespace

}  // namespace pedestrians

void AddPedestrianArt(TImageItems& res2) {
  using namespace pedestrians;
  struct TWalk {
    const char* Direction;
    double Angle;  // clockwise from facing up
  };
  constexpr TWalk kWalks[] = {{"Left", -kPi / 2}, {"Right", kPi / 2}, {"Up", 0}, {"Down", kPi}};
  for (const auto& [prefix, figure] : {std::pair{"Man_", kMan}, std::pair{"Girl_", kGirl}}) {
    for (const TWalk& w : kWalks) {
      std::vector<TSurface> frames;
      for (int f = 0; f < WalkFrames; ++f)
        frames.push_back(Render(Walker(figure, 2 * kPi * f / WalkFrames), w.Angle, kWalkScale, 1.5));
      res2.push_back(KeyedPicture(std::string(prefix) + w.Direction, race_art::PatternRow(frames), kKey, PatternSize,
                                  PatternSize));
    }
    // Lying across the box, head to the top left.
    TSurface lying = Render(Lying(figure), -kPi / 4, 0.7, 1, -0.5);
    res2.push_back(KeyedPicture(std::string(prefix) + "Laying", std::move(lying), kKey, PatternSize, PatternSize));
  }
}

void WritePedestrianPreviews(const TImageItems&, const TImageItems& res2, const std::string& dir) {
  using namespace pedestrians;
  const std::string out = dir + "/pedestrians";
  std::filesystem::create_directories(out);
  // Rows: the man on sidewalk paving and on asphalt, then the woman; in
  // each, the five frames of every walking image and the lying one.
  constexpr const char* kImages[] = {"Left", "Right", "Up", "Down", "Laying"};
  constexpr int kZoom = 4, kCell = PatternSize + 4;
  const int columns = 4 * WalkFrames + 1;
  paint::TCanvas sheet(columns * kCell, 4 * kCell);
  cairo_t* cr = sheet.Cr();
  for (int row = 0; row < 4; ++row) {
    paint::SetSource(cr, row % 2 ? 0x3b3e45 : 0x9d968b);
    cairo_rectangle(cr, 0, row * kCell, sheet.Width(), kCell);
    cairo_fill(cr);
  }
  paint::AddGrain(sheet, 0.03, 5);
  sheet.Flush();
  int row = 0;
  for (const char* prefix : {"Man_", "Girl_"})
    for (int ground = 0; ground < 2; ++ground, ++row) {
      int column = 0;
      for (const char* image : kImages) {
        const TPictureCollectionItem& item = FindPicture(res2, std::string(prefix) + image);
        for (int p = 0; p < item.PatternCount(); ++p, ++column) {
          const TPixelView view = item.Pattern(p);
          const int left = column * kCell + 2, top = row * kCell + 2;
          for (int y = 0; y < PatternSize; ++y)
            for (int x = 0; x < PatternSize; ++x) {
              const uint32_t s = view.Pixels[static_cast<size_t>(y) * view.Stride + x];
              if (s != view.Key) sheet.Row(top + y)[left + x] = 0xFF000000u | s;
            }
        }
      }
    }
  sheet.MarkDirty();
  paint::TCanvas big(sheet.Width() * kZoom, sheet.Height() * kZoom);
  cairo_t* b = big.Cr();
  cairo_scale(b, kZoom, kZoom);
  cairo_set_source_surface(b, sheet.Surface(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(b), CAIRO_FILTER_NEAREST);
  cairo_paint(b);
  paint::WritePng(big, out + "/frames_4x.png");
  // The man and the woman walking up and lying, on paving, ten times enlarged.
  constexpr int kCloseZoom = 10;
  const int closeColumns = WalkFrames + 1;
  paint::TCanvas close(closeColumns * kCell * kCloseZoom, 2 * kCell * kCloseZoom);
  cairo_t* c = close.Cr();
  cairo_scale(c, kCloseZoom, kCloseZoom);
  for (int r = 0; r < 2; ++r) {
    // Row r of the close-up is row 2 r of the sheet (paving); its first
    // frames are the Up image (columns 10 to 14) and the lying one (20).
    for (int k = 0; k < closeColumns; ++k) {
      const int from = k < WalkFrames ? 2 * WalkFrames + k : 4 * WalkFrames;
      cairo_save(c);
      cairo_rectangle(c, k * kCell, r * kCell, kCell, kCell);
      cairo_clip(c);
      cairo_set_source_surface(c, sheet.Surface(), (k - from) * kCell, (r - 2 * r) * kCell);
      cairo_pattern_set_filter(cairo_get_source(c), CAIRO_FILTER_NEAREST);
      cairo_paint(c);
      cairo_restore(c);
    }
  }
  paint::WritePng(close, out + "/up_and_lying_10x.png");
  paint::WritePng(sheet, out + "/frames_1x.png");
}
