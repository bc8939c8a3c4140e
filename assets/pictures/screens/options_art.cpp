// The options screen's pictures. The page is a list of four rows down the
// dark field left of the road: three switches ("Режим", "Музыка", "Звук")
// and the country, whose label the game prints itself. The switch captions
// use the label's face and size and start where it starts, so the four rows
// read as one column; each switch shows its state with a lamp (a monitor for
// the screen mode) and a coloured word in a second column.
//
// Hovering a row lights its caption the way the main menu lights its
// buttons. The hover picture lies over the indicator, which changes with the
// state, so it is keyed everywhere except over the caption and the light
// streak under it: those pixels are the same in both states and can be
// painted again.
#include "assets/pictures/screens/options_art.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "assets/pictures/screens/menu_art.h"
#include "assets/paint/paint.h"
#include "assets/pictures/screens/screen_art.h"

using namespace paint;
using screen_art::Disc;
using screen_art::RoundedRect;

namespace {

constexpr uint32_t kKey = 0xFF00FF;
constexpr uint32_t kSeed = 0x4F505453;  // "OPTS"

// Where the game prints "Ваша страна:" (text style 13: the display face at
// 27 pt, which is 36 pixels at the 96 dpi the fonts are opened with), on the
// row that starts at y = 436.
constexpr double kLabelPenX = 116, kLabelTop = 447, kCountryRowY = 436;
constexpr double kRowTextSize = 36;
// The pictures with words come in Russian and, named with "_En" after,
// in English; this says which is being painted.
bool gEnglish = false;
const char* CountryLabel() { return gEnglish ? "Your country:" : "Ваша страна:"; }

// The country box, and the typed text the game prints in it (style 4, 28 pt
// bold black) with its top-left at (380, 450) and the cursor at y = 491.
constexpr int kBoxX = 361, kBoxY = 442;
constexpr int kBoxWidth = 414, kBoxHeight = 60;
constexpr int kBoxShadow = 7;
constexpr double kBoxRadius = 7;
constexpr double kBezel = 4.5;

// The "back" button: centred under the page's content, which runs from the
// rows' left edge to the country box's right edge.
constexpr int kBackX = 345, kBackY = 513, kBackHeight = 56;
constexpr int kBackWidth = 2 * ((118 + kBoxX + kBoxWidth) / 2 - kBackX);

enum class TIcon { MonitorFull, MonitorWindow, LampOn, LampOff };
enum class TTextLook { Caption, CaptionHovered, On, Off, Mode };

struct TState {
  const char* Image;
  const char* Value;
  TIcon Icon;
  TTextLook Look;
};

// A switch row: its hover picture at the row's corner (the hit box's), its
// indicator at the place the screen puts it.
struct TSwitchRow {
  const char* Hover;
  int RowX, RowY, HitWidth, HitHeight;
  int IndicatorX, IndicatorY;
  const char* Caption;
  TState States[2];
};
const TSwitchRow kRows[] = {
    {"Opt_1", 118, 248, 545, 64, 118, 255, "Режим:",
     {{"OptFullScreen", "полный экран", TIcon::MonitorFull, TTextLook::Mode},
      {"OptWindow", "в окне", TIcon::MonitorWindow, TTextLook::Mode}}},
    {"Opt_2", 118, 312, 282, 62, 118, 320, "Музыка:",
     {{"OptMusicOn", "вкл", TIcon::LampOn, TTextLook::On}, {"OptMusicOff", "выкл", TIcon::LampOff, TTextLook::Off}}},
    {"Opt_3", 118, 375, 282, 62, 115, 383, "Звук:",
     {{"OptSoundOn", "вкл", TIcon::LampOn, TTextLook::On}, {"OptSoundOff", "выкл", TIcon::LampOff, TTextLook::Off}}},
};
const TSwitchRow kRowsEn[] = {
    {"Opt_1", 118, 248, 545, 64, 118, 255, "Display:",
     {{"OptFullScreen", "full screen", TIcon::MonitorFull, TTextLook::Mode},
      {"OptWindow", "window", TIcon::MonitorWindow, TTextLook::Mode}}},
    {"Opt_2", 118, 312, 282, 62, 118, 320, "Music:",
     {{"OptMusicOn", "on", TIcon::LampOn, TTextLook::On}, {"OptMusicOff", "off", TIcon::LampOff, TTextLook::Off}}},
    {"Opt_3", 118, 375, 282, 62, 115, 383, "Sound:",
     {{"OptSoundOn", "on", TIcon::LampOn, TTextLook::On}, {"OptSoundOff", "off", TIcon::LampOff, TTextLook::Off}}},
};
const TSwitchRow (&Rows())[3] { return gEnglish ? kRowsEn : kRows; }
std::string InLanguage(const char* name) { return gEnglish ? std::string(name) + "_En" : std::string(name); }
constexpr int kIndicatorHeight = 54;
constexpr int kCountryHoverX = 118, kCountryHoverY = 436;

TFontFace RowFace() { return DisplayFace(kRowTextSize); }

// Metrics of the row face, measured once.
struct TRowMetrics {
  double Ascent;      // as the game's text canvas rounds it: whole pixels up
  double CapHeight;
  double CaptionEnd;  // right edge of the widest caption's ink, screen x
};
const TRowMetrics& RowMetrics() {
  static const auto measure = [] {
    TCanvas scratch(8, 8);
    cairo_t* cr = scratch.Cr();
    SelectFont(cr, RowFace());
    cairo_font_extents_t e;
    cairo_font_extents(cr, &e);
    TRowMetrics m{std::ceil(e.ascent), -MeasureInk(cr, "Н").Y, 0};
    for (const TSwitchRow& row : Rows()) {
      const TInk ink = MeasureInk(cr, row.Caption);
      m.CaptionEnd = std::max(m.CaptionEnd, kLabelPenX + ink.X + ink.Width);
    }
    return m;
  };
  static const TRowMetrics russian = measure();
  if (!gEnglish) return russian;
  static const TRowMetrics english = measure();
  return english;
}

// Each row's text sits on its row as the label sits on the country row.
double RowBaseline(int rowY) { return rowY + (kLabelTop - kCountryRowY) + RowMetrics().Ascent; }

// The second column: icons centred on one line, state words after them.
double IconCentreX() { return RowMetrics().CaptionEnd + 40; }
double ValuePenX() { return IconCentreX() + 24; }
// Right edge of a hover picture: its caption glow has faded out before the
// icon's own glow begins.
int HoverRight() { return static_cast<int>(std::lround(RowMetrics().CaptionEnd + 18)); }

// ---- Painting, in the canvas's own coordinates ------------------------------

void TextPath(cairo_t* cr, const std::string& utf8, double penX, double baseline) {
  SelectFont(cr, RowFace());
  cairo_move_to(cr, penX, baseline);
  cairo_text_path(cr, utf8.c_str());
}

cairo_pattern_t* TextFill(TTextLook look, double top, double baseline) {
  switch (look) {
    case TTextLook::Caption:
      // Close to the flat white the game prints the country label in.
      return LinearGradient(0, top, 0, baseline, {{0, 0xffffff}, {0.5, 0xf8f4f4}, {0.56, 0xe8e0e0}, {1, 0xcfc6ca}});
    case TTextLook::CaptionHovered:
      return LinearGradient(0, top, 0, baseline, {{0, 0xfffbe0}, {0.45, 0xffd040}, {0.55, 0xff9a20}, {1, 0xff6a10}});
    case TTextLook::On:
      return LinearGradient(0, top, 0, baseline, {{0, 0xf0ffe8}, {0.5, 0xb4f59a}, {0.56, 0x8ee070}, {1, 0x5cb844}});
    case TTextLook::Off:
      return LinearGradient(0, top, 0, baseline, {{0, 0xc4bcc0}, {0.5, 0xa49ca2}, {0.56, 0x8e868c}, {1, 0x6e666c}});
    case TTextLook::Mode:
      return LinearGradient(0, top, 0, baseline, {{0, 0xf2faff}, {0.5, 0xbfe2ff}, {0.56, 0x9ccdf8}, {1, 0x6aa4e0}});
  }
  return nullptr;
}

// One word of a row: a soft dark halo that keeps it legible over the road's
// lights, a thin dark outline, a glow for the lit looks and a gradient fill.
void PaintRowText(const TCanvas& c, const std::string& utf8, double penX, double baseline, TTextLook look) {
  cairo_t* cr = c.Cr();
  const double top = baseline - RowMetrics().CapHeight;
  auto path = [&](cairo_t* p) { TextPath(p, utf8, penX, baseline); };

  PaintBlurred(c, 3.0, 1.5, 2.5, 0.85, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    path(p);
    cairo_set_line_width(p, 3);
    cairo_stroke_preserve(p);
    cairo_fill(p);
  });
  if (look == TTextLook::CaptionHovered) {
    PaintBlurred(c, 4.5, 0, 0, 1.0, [&](cairo_t* p) {
      SetSource(p, 0xff6a10);
      path(p);
      cairo_set_line_width(p, 3);
      cairo_stroke_preserve(p);
      cairo_fill(p);
    }, CAIRO_OPERATOR_ADD);
  } else if (look == TTextLook::On || look == TTextLook::Mode) {
    PaintBlurred(c, 4.0, 0, 0, 0.35, [&](cairo_t* p) {
      SetSource(p, look == TTextLook::On ? 0x40ff30 : 0x3a9aff);
      path(p);
      cairo_fill(p);
    }, CAIRO_OPERATOR_ADD);
  }

  SetSource(cr, 0x08080e, 0.9);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 2.2);
  path(cr);
  cairo_stroke(cr);
  cairo_pattern_t* fill = TextFill(look, top, baseline);
  cairo_set_source(cr, fill);
  path(cr);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);
}

// The hovered row's light: a warm haze behind the caption and a bright
// streak under it that fades out at both ends, as under the main menu's
// hovered buttons.
void PaintHoverStreak(const TCanvas& c, double left, double right, double baseline) {
  cairo_t* cr = c.Cr();
  const double cx = (left + right) / 2, cy = baseline - RowMetrics().CapHeight / 2;
  const double half = (right - left) / 2 + 16;
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, half, kRowTextSize * 0.62);
  cairo_pattern_t* band = RadialGradient(0, 0, 0, 1, {{0, 0xff8a2a, 0.30}, {0.5, 0xc04a10, 0.12}, {1, 0x601800, 0}});
  cairo_set_source(cr, band);
  cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
  cairo_fill(cr);
  cairo_pattern_destroy(band);
  cairo_restore(cr);

  const double y = baseline + 9;
  PaintBlurred(c, 2.0, 0, 0, 0.8, [&](cairo_t* p) {
    cairo_pattern_t* glow = LinearGradient(left - 6, 0, right + 10, 0,
                                           {{0, 0xff6a10, 0}, {0.25, 0xff7a20, 0.9}, {0.75, 0xff7a20, 0.9}, {1, 0xff6a10, 0}});
    cairo_set_source(p, glow);
    cairo_rectangle(p, left - 6, y - 1.5, right - left + 16, 4);
    cairo_fill(p);
    cairo_pattern_destroy(glow);
  }, CAIRO_OPERATOR_ADD);
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
  cairo_pattern_t* line = LinearGradient(left - 6, 0, right + 10, 0,
                                         {{0, 0xffb060, 0}, {0.3, 0xffe0b0, 0.9}, {0.7, 0xffd8a0, 0.8}, {1, 0xffb060, 0}});
  cairo_set_source(cr, line);
  cairo_rectangle(cr, left - 6, y, right - left + 16, 1.5);
  cairo_fill(cr);
  cairo_pattern_destroy(line);
  cairo_restore(cr);
}

// A round signal lamp in a steel bezel: lit green, or dark red glass.
void PaintLamp(const TCanvas& c, double cx, double cy, bool lit) {
  cairo_t* cr = c.Cr();
  PaintBlurred(c, 1.8, 1.5, 2.2, 0.8, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    Disc(p, cx, cy, 11);
    cairo_fill(p);
  });
  if (lit) {
    PaintBlurred(c, 5.0, 0, 0, 0.75, [&](cairo_t* p) {
      SetSource(p, 0x30ff20);
      Disc(p, cx, cy, 9);
      cairo_fill(p);
    }, CAIRO_OPERATOR_ADD);
  }
  cairo_pattern_t* bezel = LinearGradient(cx - 8, cy - 10, cx + 8, cy + 10, {{0, 0xf2f4f8}, {0.45, 0x9aa0aa}, {1, 0x30343c}});
  cairo_set_source(cr, bezel);
  Disc(cr, cx, cy, 11);
  cairo_fill(cr);
  cairo_pattern_destroy(bezel);
  SetSource(cr, 0x07080b);
  Disc(cr, cx, cy, 8.4);
  cairo_fill(cr);
  cairo_pattern_t* glass = lit ? RadialGradient(cx - 1.8, cy - 2, 0, 8.5, {{0, 0xf6ffe8}, {0.3, 0x9cff6a}, {0.75, 0x2ec41a}, {1, 0x0c5006}})
                               : RadialGradient(cx - 1.8, cy - 2, 0, 8.5, {{0, 0x6a2420}, {0.5, 0x3a0c0a}, {1, 0x140303}});
  cairo_set_source(cr, glass);
  Disc(cr, cx, cy, 7.4);
  cairo_fill(cr);
  cairo_pattern_destroy(glass);
  // The glass's reflection of the light from the top left.
  cairo_save(cr);
  cairo_translate(cr, cx - 2.4, cy - 3.2);
  cairo_scale(cr, 3.2, 1.9);
  cairo_pattern_t* gloss = RadialGradient(0, 0, 0, 1, {{0, 0xffffff, lit ? 0.85 : 0.5}, {1, 0xffffff, 0}});
  cairo_set_source(cr, gloss);
  Disc(cr, 0, 0, 1);
  cairo_fill(cr);
  cairo_pattern_destroy(gloss);
  cairo_restore(cr);
}

// A small monitor: its whole screen lit for full screen, one lit window on
// a dark screen for the windowed mode.
void PaintMonitor(const TCanvas& c, double cx, double cy, bool full) {
  cairo_t* cr = c.Cr();
  const double w = 36, h = 25;
  const double l = cx - w / 2, t = cy - h / 2 - 3, r = cx + w / 2, b = t + h;
  auto body = [&](cairo_t* p) {
    RoundedRect(p, l, t, r, b, 3);
    cairo_move_to(p, cx - 4, b);
    cairo_line_to(p, cx + 4, b);
    cairo_line_to(p, cx + 6, b + 5);
    cairo_line_to(p, cx - 6, b + 5);
    cairo_close_path(p);
    RoundedRect(p, cx - 11, b + 5, cx + 11, b + 8, 1.5);
  };
  PaintBlurred(c, 1.8, 1.5, 2.2, 0.8, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    body(p);
    cairo_fill(p);
  });
  const double sl = l + 3, st = t + 3, sr = r - 3, sb = b - 3;
  PaintBlurred(c, 4.5, 0, 0, full ? 0.7 : 0.45, [&](cairo_t* p) {
    SetSource(p, 0x2a8aff);
    if (full)
      cairo_rectangle(p, sl, st, sr - sl, sb - st);
    else
      cairo_rectangle(p, cx - 7, cy - 9, 13, 9);
    cairo_fill(p);
  }, CAIRO_OPERATOR_ADD);
  cairo_pattern_t* steel = LinearGradient(l, t, r, b + 8, {{0, 0xe8ebf0}, {0.4, 0x8c929c}, {1, 0x2c3038}});
  cairo_set_source(cr, steel);
  body(cr);
  cairo_fill(cr);
  cairo_pattern_destroy(steel);
  SetSource(cr, 0x06070a);
  cairo_rectangle(cr, sl - 0.6, st - 0.6, sr - sl + 1.2, sb - st + 1.2);
  cairo_fill(cr);
  if (full) {
    cairo_pattern_t* lit = LinearGradient(0, st, 0, sb, {{0, 0xd8f0ff}, {0.45, 0x5ab4ff}, {1, 0x1c5cc8}});
    cairo_set_source(cr, lit);
    cairo_rectangle(cr, sl, st, sr - sl, sb - st);
    cairo_fill(cr);
    cairo_pattern_destroy(lit);
  } else {
    cairo_pattern_t* dark = LinearGradient(0, st, 0, sb, {{0, 0x1a2436}, {1, 0x0a0e18}});
    cairo_set_source(cr, dark);
    cairo_rectangle(cr, sl, st, sr - sl, sb - st);
    cairo_fill(cr);
    cairo_pattern_destroy(dark);
    const double wl = cx - 7, wt = cy - 9, wr = cx + 6, wb = cy;
    cairo_pattern_t* window = LinearGradient(0, wt, 0, wb, {{0, 0xbfe4ff}, {0.5, 0x4aa0f8}, {1, 0x1c54b8}});
    cairo_set_source(cr, window);
    cairo_rectangle(cr, wl, wt, wr - wl, wb - wt);
    cairo_fill(cr);
    cairo_pattern_destroy(window);
    SetSource(cr, 0xe8f6ff);
    cairo_rectangle(cr, wl, wt, wr - wl, 2);
    cairo_fill(cr);
  }
  // A faint reflection across the glass.
  cairo_save(cr);
  cairo_rectangle(cr, sl, st, sr - sl, sb - st);
  cairo_clip(cr);
  cairo_pattern_t* gloss = LinearGradient(sl, st, sl + 14, sb, {{0, 0xffffff, 0.28}, {0.5, 0xffffff, 0.08}, {0.51, 0xffffff, 0}});
  cairo_set_source(cr, gloss);
  cairo_paint(cr);
  cairo_pattern_destroy(gloss);
  cairo_restore(cr);
}

void PaintIcon(const TCanvas& c, TIcon icon, double cx, double cy) {
  switch (icon) {
    case TIcon::MonitorFull: PaintMonitor(c, cx, cy, true); break;
    case TIcon::MonitorWindow: PaintMonitor(c, cx, cy, false); break;
    case TIcon::LampOn: PaintLamp(c, cx, cy, true); break;
    case TIcon::LampOff: PaintLamp(c, cx, cy, false); break;
  }
}

// ---- Pixel work -------------------------------------------------------------

double SmoothStep(double t) {
  t = std::clamp(t, 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// Eases `painted` back into `base` near the sides named, so whatever was
// painted ends without a seam where the picture's edge lies over that base.
struct TSides {
  bool Left, Top, Right, Bottom;
};
void FadeSidesInto(const TCanvas& painted, const TCanvas& base, double border, TSides sides) {
  painted.Flush();
  base.Flush();
  const int w = painted.Width(), h = painted.Height();
  constexpr double kFar = 1e9;
  for (int y = 0; y < h; ++y) {
    uint32_t* row = painted.Row(y);
    const uint32_t* under = base.Row(y);
    for (int x = 0; x < w; ++x) {
      const double d = std::min({sides.Left ? x + 0.5 : kFar, sides.Right ? w - x - 0.5 : kFar,
                                 sides.Top ? y + 0.5 : kFar, sides.Bottom ? h - y - 0.5 : kFar});
      if (d >= border) continue;
      const double t = SmoothStep(d / border);
      uint32_t out = 0;
      for (int shift = 0; shift <= 24; shift += 8) {
        const double a = (under[x] >> shift) & 0xFF, b = (row[x] >> shift) & 0xFF;
        out |= static_cast<uint32_t>(std::lround(a + (b - a) * t)) << shift;
      }
      row[x] = out;
    }
  }
  painted.MarkDirty();
}

// A hover look laid over `base` (what the screen shows there without it):
// pixels the hover leaves as they were become the key, so whatever lies
// under the picture at run time (an indicator in either state) shows
// through untouched.
TSurface KeyedOver(const TCanvas& hovered, const TCanvas& base) {
  TSurface pic = ToOpaqueSurface(hovered);
  const TSurface under = ToOpaqueSurface(base);
  for (size_t i = 0; i < pic.Pixels.size(); ++i) {
    if (pic.Pixels[i] == under.Pixels[i])
      pic.Pixels[i] = kKey;
    else if (pic.Pixels[i] == kKey)
      pic.Pixels[i] ^= 1;
  }
  return pic;
}

// ---- The pictures ------------------------------------------------------------

int IndicatorWidth(const TSwitchRow& row) {
  TCanvas scratch(8, 8);
  SelectFont(scratch.Cr(), RowFace());
  double right = 0;
  for (const TState& s : row.States) {
    const TInk ink = MeasureInk(scratch.Cr(), s.Value);
    right = std::max(right, ValuePenX() + ink.X + ink.Width);
  }
  return static_cast<int>(std::ceil(right + 14)) - row.IndicatorX;
}

void PaintCaption(const TCanvas& c, const TSwitchRow& row, int originX, int originY, TTextLook look) {
  PaintRowText(c, row.Caption, kLabelPenX - originX, RowBaseline(row.RowY) - originY, look);
}

// The background under the indicator with the row's caption, icon and state
// word. Both states of a row share the size and the caption's pixels.
TSurface IndicatorPicture(const TSwitchRow& row, const TState& state) {
  const int w = IndicatorWidth(row), h = kIndicatorHeight;
  const int ox = row.IndicatorX, oy = row.IndicatorY;
  TCanvas under(w, h), pic(w, h);
  CopyCrop(MenuBackground(), ox, oy, under);
  CopyCrop(MenuBackground(), ox, oy, pic);
  const double baseline = RowBaseline(row.RowY) - oy;
  PaintCaption(pic, row, ox, oy, TTextLook::Caption);
  PaintIcon(pic, state.Icon, IconCentreX() - ox, baseline - RowMetrics().CapHeight / 2);
  PaintRowText(pic, state.Value, ValuePenX() - ox, baseline, state.Look);
  FadeSidesInto(pic, under, 3, {false, true, true, true});
  return ToOpaqueSurface(pic);
}

// The hovered row: its caption lit and underlined, on a picture that reaches
// from the row's corner to just before the icon column.
TSurface RowHoverPicture(const TSwitchRow& row) {
  const int w = HoverRight() - row.RowX, h = row.HitHeight;
  TCanvas base(w, h), hovered(w, h);
  CopyCrop(MenuBackground(), row.RowX, row.RowY, base);
  PaintCaption(base, row, row.RowX, row.RowY, TTextLook::Caption);
  CopyCrop(MenuBackground(), row.RowX, row.RowY, hovered);
  TCanvas scratch(8, 8);
  SelectFont(scratch.Cr(), RowFace());
  const TInk ink = MeasureInk(scratch.Cr(), row.Caption);
  const double left = kLabelPenX + ink.X - row.RowX, right = left + ink.Width;
  const double baseline = RowBaseline(row.RowY) - row.RowY;
  PaintHoverStreak(hovered, left, right, baseline);
  PaintCaption(hovered, row, row.RowX, row.RowY, TTextLook::CaptionHovered);
  FadeSidesInto(hovered, base, 8, {false, true, true, true});
  return KeyedOver(hovered, base);
}

// The country box: a light inset field in a bevelled steel rim, with a drop
// shadow on the background. `focused` rings it with the hovered glow.
void PaintCountryBox(const TCanvas& c, double ox, double oy, bool focused) {
  cairo_t* cr = c.Cr();
  const double l = ox + 0.5, t = oy + 0.5, r = ox + kBoxWidth - 0.5, b = oy + kBoxHeight - 0.5;
  PaintBlurred(c, 3.0, 3.0, 4.0, 0.6, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    RoundedRect(p, l, t, r, b, kBoxRadius);
    cairo_fill(p);
  });
  if (focused) {
    PaintBlurred(c, 3.2, 0, 0, 0.9, [&](cairo_t* p) {
      SetSource(p, 0xff6a10);
      RoundedRect(p, l, t, r, b, kBoxRadius);
      cairo_set_line_width(p, 3);
      cairo_stroke(p);
    }, CAIRO_OPERATOR_ADD);
  }

  // The rim and the field go onto a layer of their own, so the grain stays
  // on them and the background round the box keeps its own pixels.
  TCanvas layer(c.Width(), c.Height());
  cairo_t* lc = layer.Cr();
  cairo_pattern_t* rim = focused ? LinearGradient(0, t, 0, b, {{0, 0xfff0dc}, {0.4, 0xd8a478}, {0.6, 0xa86a42}, {1, 0x4a2612}})
                                 : LinearGradient(0, t, 0, b, {{0, 0xeef0f4}, {0.4, 0xaab0ba}, {0.6, 0x7c828c}, {1, 0x3a3e46}});
  cairo_set_source(lc, rim);
  RoundedRect(lc, l, t, r, b, kBoxRadius);
  cairo_fill(lc);
  cairo_pattern_destroy(rim);
  // Brushed along the box: faint streaks across the rim.
  const TValueNoise brush(kSeed);
  cairo_save(lc);
  RoundedRect(lc, l, t, r, b, kBoxRadius);
  cairo_clip(lc);
  for (int y = static_cast<int>(t); y < b; ++y) {
    const double v = brush.Fbm(0.5, y * 0.9, 2) - 0.5;
    SetSource(lc, v > 0 ? 0xffffff : 0x000000, std::abs(v) * 0.25);
    cairo_rectangle(lc, l, y, r - l, 1);
    cairo_fill(lc);
  }
  cairo_restore(lc);

  const double fl = l + kBezel, ft = t + kBezel, fr = r - kBezel, fb = b - kBezel;
  SetSource(lc, 0x08090c);
  RoundedRect(lc, fl - 1, ft - 1, fr + 1, fb + 1, kBoxRadius - kBezel + 1.5);
  cairo_fill(lc);
  cairo_pattern_t* field = LinearGradient(0, ft, 0, fb, {{0, 0xaeb4be}, {0.25, 0xd6dae1}, {0.7, 0xe6e9ee}, {1, 0xeef0f3}});
  cairo_set_source(lc, field);
  RoundedRect(lc, fl, ft, fr, fb, kBoxRadius - kBezel + 0.5);
  cairo_fill(lc);
  cairo_pattern_destroy(field);
  // The field lies below the rim: the top and left edges throw shade on it.
  cairo_save(lc);
  RoundedRect(lc, fl, ft, fr, fb, kBoxRadius - kBezel + 0.5);
  cairo_clip(lc);
  PaintBlurred(layer, 2.5, 1.5, 2.5, 0.55, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    cairo_set_fill_rule(p, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(p, fl - 20, ft - 20, fr - fl + 40, fb - ft + 40);
    RoundedRect(p, fl, ft, fr, fb, kBoxRadius - kBezel + 0.5);
    cairo_fill(p);
  });
  cairo_restore(lc);
  // A thin line of light where the rim's lower edge catches the light.
  SetSource(lc, 0xffffff, 0.35);
  cairo_rectangle(lc, l + kBoxRadius, b - 1.2, r - l - 2 * kBoxRadius, 1);
  cairo_fill(lc);
  if (focused) {
    SetSource(lc, 0xff8a30, 0.85);
    cairo_set_line_width(lc, 1.2);
    RoundedRect(lc, fl - 0.4, ft - 0.4, fr + 0.4, fb + 0.4, kBoxRadius - kBezel + 0.9);
    cairo_stroke(lc);
  }
  AddGrain(layer, 0.02, kSeed + 3);
  cairo_set_source_surface(cr, layer.Surface(), 0, 0);
  cairo_paint(cr);
}

TSurface CountryBoxPicture() {
  TCanvas pic(kBoxWidth + kBoxShadow, kBoxHeight + kBoxShadow);
  CopyCrop(MenuBackground(), kBoxX, kBoxY, pic);
  PaintCountryBox(pic, 0, 0, false);
  return ToOpaqueSurface(pic);
}

// The hovered country row: the label glows like a lit caption and the box
// is ringed in the same light. The game prints the label over this picture,
// white, so only the glow round its letters shows.
TSurface CountryHoverPicture() {
  const int w = kBoxX + kBoxWidth + 9 - kCountryHoverX, h = kBackY - kCountryHoverY;
  const int bx = kBoxX - kCountryHoverX, by = kBoxY - kCountryHoverY;
  TCanvas base(w, h), hovered(w, h);
  for (const TCanvas* c : {&base, &hovered}) {
    CopyCrop(MenuBackground(), kCountryHoverX, kCountryHoverY, *c);
    PaintCountryBox(*c, bx, by, c == &hovered);
  }
  const double baseline = kLabelTop + RowMetrics().Ascent - kCountryHoverY;
  const double pen = kLabelPenX - kCountryHoverX;
  TCanvas scratch(8, 8);
  SelectFont(scratch.Cr(), RowFace());
  const TInk ink = MeasureInk(scratch.Cr(), CountryLabel());
  PaintHoverStreak(hovered, pen + ink.X, pen + ink.X + ink.Width, baseline);
  PaintBlurred(hovered, 4.5, 0, 0, 1.0, [&](cairo_t* p) {
    SetSource(p, 0xff6a10);
    TextPath(p, CountryLabel(), pen, baseline);
    cairo_set_line_width(p, 3);
    cairo_stroke_preserve(p);
    cairo_fill(p);
  }, CAIRO_OPERATOR_ADD);
  // Keep the glow off the strip right of the box (the picture's edge) and
  // off the bottom, which meets the back button.
  FadeSidesInto(hovered, base, 4, {true, true, true, true});
  return KeyedOver(hovered, base);
}

// A typing cursor: a short bar under the next letter's place, rounded by
// keying its corner pixels.
TSurface CursorPicture(std::initializer_list<uint32_t> rows) {
  constexpr int kWidth = 16;
  TSurface pic;
  pic.Resize(kWidth, static_cast<int>(rows.size()));
  int y = 0;
  for (uint32_t colour : rows) {
    std::fill(pic.Row(y), pic.Row(y) + kWidth, colour);
    ++y;
  }
  for (int row : {0, pic.Height - 1}) pic.Row(row)[0] = pic.Row(row)[kWidth - 1] = kKey;
  return pic;
}

TSurface BackButtonPicture() {
  TSurface sheet;
  sheet.Resize(2 * kBackWidth, kBackHeight);
  for (int pattern = 0; pattern < 2; ++pattern) {
    const TSurface look = MenuButtonPicture(kBackX, kBackY, kBackWidth, kBackHeight, gEnglish ? "Back" : "Назад",
                                            pattern == 0 ? TCaptionLook::Hovered : TCaptionLook::Normal);
    for (int y = 0; y < kBackHeight; ++y)
      std::copy(look.Row(y), look.Row(y) + kBackWidth, sheet.Row(y) + pattern * kBackWidth);
  }
  return sheet;
}

// ---- The player's own settings beside the design's rows ----------------------

// The volume sliders right of the music and sound rows, where the game puts
// them: a sunk steel slot with ten signal segments, lit from the left up to
// the level, green through amber to orange as on a mixing desk.
constexpr int kVolumeX = 424, kVolumeWidth = 204, kVolumeHeight = 42;
constexpr int kVolumeYs[2] = {322, 385};
constexpr int kVolumeLevels = 11;

uint32_t SegmentColour(int i) {
  static const uint32_t colours[10] = {0x39e636, 0x4ee832, 0x6cea2e, 0x92ea2a, 0xbde626,
                                       0xe2dc22, 0xf4bc20, 0xf89a1e, 0xfa761c, 0xfc521a};
  return colours[i];
}

void PaintVolume(const TCanvas& c, int level, bool hovered) {
  cairo_t* cr = c.Cr();
  const screen_art::TBox slot{4.5, 6.5, kVolumeWidth - 10.5, kVolumeHeight - 9.5};
  PaintBlurred(c, 2.5, 2.5, 3.0, 0.6, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    RoundedRect(p, slot.L, slot.T, slot.R, slot.B, 6);
    cairo_fill(p);
  });
  if (hovered) {
    PaintBlurred(c, 3.2, 0, 0, 0.9, [&](cairo_t* p) {
      SetSource(p, 0xff6a10);
      RoundedRect(p, slot.L, slot.T, slot.R, slot.B, 6);
      cairo_set_line_width(p, 3);
      cairo_stroke(p);
    }, CAIRO_OPERATOR_ADD);
  }
  const screen_art::TBox field = screen_art::PaintInsetBox(c, slot, 6, 3);
  const double gap = 3, width = (field.R - field.L - 4 - 9 * gap) / 10;
  for (int i = 0; i < 10; ++i) {
    const double l = field.L + 2 + i * (width + gap), t = field.T + 3, r = l + width, b = field.B - 3;
    const bool lit = i < level;
    const uint32_t colour = SegmentColour(i);
    if (lit) {
      PaintBlurred(c, 3.5, 0, 0, 0.55, [&](cairo_t* p) {
        SetSource(p, colour);
        cairo_rectangle(p, l, t, width, b - t);
        cairo_fill(p);
      }, CAIRO_OPERATOR_ADD);
      cairo_pattern_t* glass = LinearGradient(0, t, 0, b, {{0, 0xffffff, 0.9}, {0.2, colour}, {1, colour, 0.75}});
      cairo_set_source(cr, glass);
      RoundedRect(cr, l, t, r, b, 1.5);
      cairo_fill(cr);
      cairo_pattern_destroy(glass);
    } else {
      SetSource(cr, colour, 0.13);
      RoundedRect(cr, l, t, r, b, 1.5);
      cairo_fill(cr);
    }
    // The reflection of the light from the top left on each segment's glass.
    SetSource(cr, 0xffffff, lit ? 0.35 : 0.08);
    cairo_rectangle(cr, l + 1, t + 1, width - 2, 2);
    cairo_fill(cr);
  }
}

// Levels 0..10 side by side, then the same hovered.
TSurface VolumePicture(int y) {
  TSurface sheet;
  sheet.Resize(2 * kVolumeLevels * kVolumeWidth, kVolumeHeight);
  for (int pattern = 0; pattern < 2 * kVolumeLevels; ++pattern) {
    TCanvas pic(kVolumeWidth, kVolumeHeight);
    CopyCrop(MenuBackground(), kVolumeX, y, pic);
    PaintVolume(pic, pattern % kVolumeLevels, pattern >= kVolumeLevels);
    AddGrain(pic, 0.015, kSeed + static_cast<uint32_t>(pattern));
    const TSurface look = ToOpaqueSurface(pic);
    for (int row = 0; row < kVolumeHeight; ++row)
      std::copy(look.Row(row), look.Row(row) + kVolumeWidth, sheet.Row(row) + pattern * kVolumeWidth);
  }
  return sheet;
}

// Two buttons either side of "back", in its look: the language and the way
// to the controls screen. Each in Russian and, as "_En", in English.
struct TSideButton {
  const char* Name;
  int X, Width;
  const char* Russian;
  const char* English;
};
constexpr int kSideButtonY = kBackY, kSideButtonHeight = kBackHeight;
constexpr double kSideCaptionSize = 30;
constexpr TSideButton kSideButtons[] = {
    {"Opt_Lang", 36, 300, "Язык: русский", "Language: English"},
    {"Opt_Keys", 555, 220, "Клавиши", "Controls"},
};

// The ghost switch under the title, in the same look, saying its state in
// its caption as the language button does. Patterns: off hovered, off, on
// hovered, on (each pair hovered first, as the side buttons have it).
constexpr int kGhostX = 413, kGhostY = 192, kGhostWidth = 300;
struct TGhostCaptions {
  const char* Off;
  const char* On;
};
constexpr TGhostCaptions kGhostRussian{"Призрак: выкл", "Призрак: вкл"};
constexpr TGhostCaptions kGhostEnglish{"Ghost: off", "Ghost: on"};

TSurface GhostSwitchPicture(const TGhostCaptions& captions) {
  TSurface looks[4];
  for (int state = 0; state < 2; ++state)
    for (int hovered = 0; hovered < 2; ++hovered)
      looks[2 * state + (1 - hovered)] =
          MenuButtonPicture(kGhostX, kGhostY, kGhostWidth, kBackHeight, state ? captions.On : captions.Off,
                            hovered ? TCaptionLook::Hovered : TCaptionLook::Normal, kSideCaptionSize);
  return screen_art::SideBySide(looks, 4);
}

TSurface SideButtonPicture(const TSideButton& b, const char* caption) {
  const TSurface looks[2] = {
      MenuButtonPicture(b.X, kSideButtonY, b.Width, kSideButtonHeight, caption, TCaptionLook::Hovered, kSideCaptionSize),
      MenuButtonPicture(b.X, kSideButtonY, b.Width, kSideButtonHeight, caption, TCaptionLook::Normal, kSideCaptionSize)};
  return screen_art::SideBySide(looks, 2);
}

}  // namespace

void AddOptionsArt(TImageItems& res1) {
  TSurface null;
  null.Resize(1, 1);
  null.Pixels[0] = kKey;
  res1.push_back(KeyedPicture("Null", null, kKey));
  for (bool english : {false, true}) {
    gEnglish = english;
    for (const TSwitchRow& row : Rows()) {
      res1.push_back(KeyedPicture(InLanguage(row.Hover), RowHoverPicture(row), kKey));
      for (const TState& state : row.States)
        res1.push_back(OpaquePicture(InLanguage(state.Image), IndicatorPicture(row, state)));
    }
    res1.push_back(KeyedPicture(InLanguage("Opt_4"), CountryHoverPicture(), kKey));
    res1.push_back(OpaquePicture(InLanguage("Opt_Bk"), BackButtonPicture(), kBackWidth, kBackHeight));
  }
  gEnglish = false;
  res1.push_back(OpaquePicture("CountryEditBg", CountryBoxPicture()));
  res1.push_back(KeyedPicture("Cursor", CursorPicture({0x3a3e48, 0x0c0e13, 0x0c0e13, 0x24272e}), kKey));
  res1.push_back(KeyedPicture("Cursor2", CursorPicture({0xffffff, 0xf2f4f8, 0xd6dce6, 0xa8b0be}), kKey));
  for (int i = 0; i < 2; ++i)
    res1.push_back(OpaquePicture(i == 0 ? "OptVol_2" : "OptVol_3", VolumePicture(kVolumeYs[i]), kVolumeWidth,
                                 kVolumeHeight));
  for (const TSideButton& b : kSideButtons) {
    res1.push_back(OpaquePicture(b.Name, SideButtonPicture(b, b.Russian), b.Width, kSideButtonHeight));
    res1.push_back(OpaquePicture(std::string(b.Name) + "_En", SideButtonPicture(b, b.English), b.Width,
                                 kSideButtonHeight));
  }
  res1.push_back(OpaquePicture("Opt_Ghost", GhostSwitchPicture(kGhostRussian), kGhostWidth, kBackHeight));
  res1.push_back(OpaquePicture("Opt_Ghost_En", GhostSwitchPicture(kGhostEnglish), kGhostWidth, kBackHeight));
}
