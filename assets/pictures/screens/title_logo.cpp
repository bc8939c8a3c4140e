#include "assets/pictures/screens/title_logo.h"

#include <algorithm>
#include <string>

using namespace paint;

namespace {

constexpr double kSlant = -0.24;
constexpr double kBackgroundWidth = 242;  // the menu background's logo, which the speed lines are sized for

}  // namespace

void PaintLogoArt(const TCanvas& c, const TLogoShapes& s, const TLogoLook& k) {
  cairo_t* cr = c.Cr();
  // Shadows and glows behind everything.
  PaintBlurred(c, k.ShadowBlur, k.ShadowDX, k.ShadowDY, 0.85, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    s.Word(p);
    cairo_fill(p);
    s.Two(p);
    cairo_fill(p);
    s.SpeedLines(p);
    cairo_fill(p);
  });
  PaintBlurred(c, k.WordGlowBlur, 0, 0, k.WordGlowOpacity, [&](cairo_t* p) {
    SetSource(p, 0x2a8cff);
    s.Word(p);
    cairo_set_line_width(p, k.WordGlowWidth);
    cairo_stroke(p);
  }, CAIRO_OPERATOR_ADD);
  PaintBlurred(c, k.TwoGlowBlur, 0, 0, k.TwoGlowOpacity, [&](cairo_t* p) {
    SetSource(p, 0xff4a10);
    s.Two(p);
    cairo_set_line_width(p, k.TwoGlowWidth);
    cairo_stroke(p);
    s.SpeedLines(p);
    cairo_fill(p);
  }, CAIRO_OPERATOR_ADD);

  cairo_pattern_t* lines = LinearGradient(s.LinesFrom, 0, s.LinesTo, 0,
                                          {{0, 0xff5a10, 0}, {0.55, 0xff6a18, k.LinesAlpha}, {0.9, 0xffb040, 1}, {1, 0xfff0a0, 1}});
  cairo_set_source(cr, lines);
  s.SpeedLines(cr);
  cairo_fill(cr);
  cairo_pattern_destroy(lines);

  // Dark outlines first so the fills sit on a crisp edge.
  SetSource(cr, 0x07081a);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  s.Word(cr);
  cairo_set_line_width(cr, k.WordOutline);
  cairo_stroke(cr);
  s.Two(cr);
  cairo_set_line_width(cr, k.TwoOutline);
  cairo_stroke(cr);

  // Chrome: bright sky above a hard horizon line, below it the dark ground
  // and the sunset reflected at the bottom.
  cairo_pattern_t* chrome = LinearGradient(0, s.WordTop, 0, s.WordBase,
                                           {{0, 0xffffff}, {0.4, 0xcfe0ff}, {0.5, 0x8aa0d0}, {0.53, 0x18203c},
                                            {0.72, 0x40507e}, {0.9, 0xc07a8a}, {1, 0xffc090}});
  cairo_set_source(cr, chrome);
  s.Word(cr);
  cairo_fill(cr);
  cairo_pattern_destroy(chrome);

  cairo_pattern_t* fire = LinearGradient(0, s.TwoTop, 0, s.TwoBase,
                                         {{0, 0xfff2a0}, {0.35, 0xffb030}, {0.5, 0xff6a10}, {0.53, 0xc82010},
                                          {0.8, 0x8a0c18}, {1, 0xff6a3a}});
  cairo_set_source(cr, fire);
  s.Two(cr);
  // Stroked as well as filled: the narrow face's digit made heavier.
  cairo_set_line_width(cr, k.TwoStroke);
  cairo_stroke_preserve(cr);
  cairo_fill(cr);
  cairo_pattern_destroy(fire);

  // A thin light edge along the upper left of every glyph, lit from there.
  cairo_save(cr);
  s.Word(cr);
  s.Two(cr);
  cairo_clip(cr);
  PaintBlurred(c, k.EdgeBlur, k.EdgeDX, k.EdgeDY, 0.7, [&](cairo_t* p) {
    cairo_rectangle(p, 0, 0, c.Width(), c.Height());
    s.Word(p);
    s.Two(p);
    cairo_set_fill_rule(p, CAIRO_FILL_RULE_EVEN_ODD);
    SetSource(p, 0xffffff);
    cairo_fill(p);
  });
  cairo_restore(cr);
}

void SpeedLinesPath(cairo_t* cr, const TSpeedLines& l) {
  const double rows[] = {0.2, 0.4, 0.6, 0.8};
  const double h = l.Thickness;
  for (int i = 0; i < 4; ++i) {
    const double y = l.Top + (l.Bottom - l.Top) * rows[i] - h / 2;
    const double right = l.Right - (y - l.Top) * l.Lean;
    const double left = std::max(l.LeftLimit, right - l.Lengths[i]);
    cairo_move_to(cr, left, y + h * 0.7);
    cairo_line_to(cr, right + h * l.Lean, y);
    cairo_line_to(cr, right, y + h);
    cairo_line_to(cr, left + l.TailCut, y + h);
    cairo_close_path(cr);
  }
}

void PaintTitleLogo(const TCanvas& c, const TLogoLayout& l, const TLogoLook& look) {
  cairo_t* cr = c.Cr();
  const std::string word = "ВОЛЬТРЕЙС", two = "2";
  const double right = l.Left + l.Width;

  // The word fills the logo's width whatever the face's metrics are.
  SelectFont(cr, DisplayFace(100, kSlant, 0.96));
  const double wordSize = 100 * l.Width / MeasureInk(cr, word).Width;
  SelectFont(cr, DisplayFace(wordSize, kSlant, 0.96));
  const TInk wordInk = MeasureInk(cr, word);
  const double wordX = l.Left - wordInk.X, wordBase = l.Top - wordInk.Y;
  const double wordTop = l.ChromeFromInk ? wordBase + wordInk.Y : l.Top;

  const double twoBase = l.TwoBelowWord ? wordBase + l.TwoBase : l.TwoBase;
  SelectFont(cr, DisplayFace(l.TwoSize, kSlant));
  const TInk twoInk = MeasureInk(cr, two);
  const double twoX = right - l.TwoInset - twoInk.X - twoInk.Width;
  const double twoTop = twoBase + twoInk.Y;

  auto wordPath = [&](cairo_t* p) {
    SelectFont(p, DisplayFace(wordSize, kSlant, 0.96));
    cairo_move_to(p, wordX, wordBase);
    cairo_text_path(p, word.c_str());
  };
  auto twoPath = [&](cairo_t* p) {
    SelectFont(p, DisplayFace(l.TwoSize, kSlant));
    cairo_move_to(p, twoX, twoBase);
    cairo_text_path(p, two.c_str());
  };
  const double lineRight = twoX + twoInk.X + twoInk.Width * 0.45;
  const double k = l.Width / kBackgroundWidth;
  const double lengths[] = {130, 176, 160, 118};
  TSpeedLines lines{twoTop, twoBase, lineRight, 9.0 * k * l.LinesBolder, -kSlant, {}, l.LinesLeftLimit, 20 * k};
  for (int i = 0; i < 4; ++i) lines.Lengths[i] = lengths[i] * k * l.LinesLonger;
  auto speedLines = [&](cairo_t* p) { SpeedLinesPath(p, lines); };

  PaintLogoArt(c, {wordPath, twoPath, speedLines, wordTop, wordBase, twoTop, twoBase, lineRight - 170 * k, lineRight},
               look);
}
