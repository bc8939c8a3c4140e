#include "assets/pictures/desktop/icon_art.h"

#include <algorithm>
#include <filesystem>

#include "assets/pictures/screens/screen_art.h"
#include "assets/pictures/screens/title_logo.h"

using namespace paint;

void PaintIcon(const TCanvas& c) {
  cairo_t* cr = c.Cr();
  const double n = c.Width(), k = n / 256.0;
  constexpr double kSlant = -0.24;  // the logo's lean

  // The tile: the menu's dusk sky, a sunset glow low down, an electric rim.
  const double inset = std::max(0.5, 8 * k), radius = 44 * k;
  screen_art::RoundedRect(cr, inset, inset, n - inset, n - inset, radius);
  cairo_pattern_t* sky = LinearGradient(0, 0, 0, n, {{0, 0x0a1030}, {0.55, 0x1c2458}, {0.85, 0x5a2a5a}, {1, 0xb0503a}});
  cairo_set_source(cr, sky);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(sky);
  SetSource(cr, 0x2a8cff, 0.9);
  cairo_set_line_width(cr, std::max(1.0, 6 * k));
  cairo_stroke(cr);

  // The "2" as large as the tile allows, speed lines trailing to the left.
  const std::string two = "2";
  SelectFont(cr, DisplayFace(100, kSlant));
  const TInk probe = MeasureInk(cr, two);
  const double twoSize = 100 * (n * 0.70) / probe.Height;
  SelectFont(cr, DisplayFace(twoSize, kSlant));
  const TInk ink = MeasureInk(cr, two);
  const double twoX = n * 0.86 - ink.X - ink.Width, twoBase = n * 0.85 - (ink.Y + ink.Height);
  const double twoTop = twoBase + ink.Y, twoBottom = twoBase + ink.Y + ink.Height;
  const double lineRight = twoX + ink.X + ink.Width * 0.45;

  auto noWord = [](cairo_t*) {};
  auto twoPath = [&](cairo_t* p) {
    SelectFont(p, DisplayFace(twoSize, kSlant));
    cairo_move_to(p, twoX, twoBase);
    cairo_text_path(p, two.c_str());
  };
  const double lengths[] = {0.55, 0.75, 0.68, 0.5};
  TSpeedLines lines{twoTop, twoBottom, lineRight, std::max(1.5, 14 * k), -kSlant, {}, inset + 4 * k, 20 * k};
  for (int i = 0; i < 4; ++i) lines.Lengths[i] = lengths[i] * n;
  auto speedLines = [&](cairo_t* p) { SpeedLinesPath(p, lines); };
  // The menu logo's look, scaled from its 242-pixel width to the tile;
  // small sizes keep at least a pixel of outline so the digit stays crisp.
  const double s = n / 160.0;
  PaintLogoArt(c, {noWord, twoPath, speedLines, 0, 1, twoTop, twoBottom, lineRight - 0.8 * n, lineRight},
               {5 * s, 3 * s, 4 * s, 10 * s, 0.0, 6 * s, 12 * s, 0.9, 8 * s, std::max(1.0, 7 * s), std::max(1.0, 7 * s),
                std::max(0.5, 6 * s), std::max(0.5, 2.5 * s), 0.8 * s, 1.2 * s, 1.6 * s});
}

void WriteIcons(const std::string& dir, const std::string& name) {
  for (int size : IconSizes) {
    TCanvas canvas(size, size);
    PaintIcon(canvas);
    const std::filesystem::path folder =
        std::filesystem::path(dir) / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
    std::filesystem::create_directories(folder);
    WritePng(canvas, (folder / (name + ".png")).string());
  }
}
