// The question windows. The frame is drawn per pixel: a steel border with
// mitred corners, bevelled on both edges and brushed along each side, lit
// from the top left, around a dark recessed panel. Everything the windows
// put over the frame is a crop of it with the caption or button painted on,
// so it joins the frame exactly.
#include "window_art.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>

#include "menu_art.h"
#include "paint.h"

using namespace paint;

namespace {

// Screen places of the window's pieces, top-left corners. The frame is
// centred on x = 348, where the game centres every window text.
constexpr int kFrameX = 188, kFrameY = 237;
constexpr int kFrameWidth = 320, kFrameHeight = 124;
constexpr int kButtonWidth = 73, kButtonHeight = 38;
constexpr int kYesX = 237, kNoX = 386, kButtonY = 296;

// Pixels of this colour are not drawn: the cut corners of the frame.
constexpr uint32_t kKey = 0xFF00FF;

constexpr double kChamfer = 5;  // cut of the frame's corners
constexpr double kBorder = 10;  // width of the steel
constexpr uint32_t kSeed = 0x57494E44;  // "WIND"

// The questions sit in the band between the top of the steel and the
// buttons; the two-line one starts higher and leans on the room above.
struct TQuestion {
  const char* Name;
  int X, Y, Width, Height;
  double CentreY;  // screen line the text block is centred on
  const char* Lines[2];
};
constexpr TQuestion kQuestions[] = {
    {"Win_EG", 295, 248, 106, 47, 271.5, {"Выйти из игры?", nullptr}},
    {"Win_ExitToMenu", 276, 248, 144, 47, 271.5, {"Выйти в меню?", nullptr}},
    {"Win_ClearHS", 268, 237, 160, 58, 268.5, {"Очистить таблицу", "рекордов?"}},
};
// Condensed enough that the leave-the-game question fits its 106 pixels.
constexpr double kQuestionSize = 24.5;
constexpr double kQuestionWidth = 0.72;
constexpr double kQuestionSlant = -0.1;
constexpr double kQuestionPitch = 21;

constexpr double kAnswerSize = 25;

double Smooth(double e0, double e1, double x) {
  const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

struct TRgb {
  double R, G, B;
};
TRgb Rgb(uint32_t c) { return {((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0}; }
TRgb Mix(TRgb a, TRgb b, double t) { return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t}; }
uint32_t Opaque(TRgb c) {
  auto ch = [](double v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return 0xFF000000u | ch(c.R) << 16 | ch(c.G) << 8 | ch(c.B);
}

// How far a point lies inside the frame's outline, and the outward normal
// of the edge it is nearest to; the corners are cut at 45 degrees.
struct TEdge {
  double Depth, NX, NY;
};
TEdge NearestEdge(double x, double y) {
  const double w = kFrameWidth, h = kFrameHeight, r = std::numbers::sqrt2 / 2;
  TEdge e{x, -1, 0};
  auto consider = [&](double d, double nx, double ny) {
    if (d < e.Depth) e = {d, nx, ny};
  };
  consider(y, 0, -1);
  consider(w - x, 1, 0);
  consider(h - y, 0, 1);
  consider((x + y - kChamfer) * r, -r, -r);
  consider((w - x + y - kChamfer) * r, r, -r);
  consider((x + h - y - kChamfer) * r, -r, r);
  consider((w - x + h - y - kChamfer) * r, r, r);
  return e;
}

// Light falls from the top left, a little more from the top.
constexpr double kLightX = -0.6, kLightY = -0.8;

TRgb SteelAt(const TValueNoise& brush, double x, double y, const TEdge& edge) {
  const double lit = edge.NX * kLightX + edge.NY * kLightY;
  // Outer bevel faces out, inner bevel faces into the panel, flat between.
  const double outer = 1 - Smooth(2.0, 3.2, edge.Depth);
  const double inner = Smooth(7.3, 8.5, edge.Depth);
  double shade = 0.42 * lit * (outer - inner);
  // Brushed along the side: long streaks across the bar's length.
  const bool across = std::abs(edge.NY) >= std::abs(edge.NX);
  const double along = across ? x : y, side = across ? y : x;
  shade += 0.09 * (brush.Fbm(along / 40.0, side * 1.3, 3) - 0.5) * 2;
  shade += 0.03 * (HashUnit(static_cast<int>(along / 3), static_cast<int>(side * 2), kSeed) - 0.5);
  // Two soft reflections running across the frame.
  const double band = x * 0.55 + y;
  shade += 0.16 * std::exp(-std::pow((band - 70) / 26, 2)) + 0.08 * std::exp(-std::pow((band - 230) / 40, 2));
  const TRgb base = Mix(Rgb(0xb4bac4), Rgb(0x6c727d), y / kFrameHeight);
  TRgb c = shade >= 0 ? Mix(base, Rgb(0xf6f8fc), std::min(1.0, shade * 1.6))
                      : Mix(base, Rgb(0x1c1f26), std::min(1.0, -shade * 1.5));
  // A dark rim round the outside, so the hard keyed edge reads as a line.
  c = Mix(Rgb(0x08090d), c, Smooth(0.8, 2.0, edge.Depth));
  return c;
}

TRgb PanelAt(double x, double y) {
  const double u = x - kBorder, v = y - kBorder;
  const double inW = kFrameWidth - 2 * kBorder, inH = kFrameHeight - 2 * kBorder;
  TRgb c = Mix(Rgb(0x232a3c), Rgb(0x0e1017), Smooth(0, inH, v));
  // A faint pool of light behind the question.
  const double dx = (u - inW / 2) / (inW * 0.45), dy = (v - 24) / 30.0;
  c = Mix(c, Rgb(0x3a4260), 0.35 * std::exp(-(dx * dx + dy * dy)));
  // The panel lies below the steel: the top and left edges throw shade on
  // it, the bottom and right ones catch a thin line of light.
  const double shadow = 0.7 * std::exp(-v / 3.0) + 0.5 * std::exp(-u / 3.0);
  c = Mix(c, Rgb(0x000000), std::min(0.85, shadow));
  const double lip = 0.25 * std::exp(-(inH - v) / 1.2) + 0.18 * std::exp(-(inW - u) / 1.2);
  c = Mix(c, Rgb(0x8a94ac), std::min(0.4, lip));
  return c;
}

void PaintScrew(cairo_t* cr, double x, double y, double slotAngle) {
  SetSource(cr, 0x0c0d11, 0.75);
  cairo_arc(cr, x + 0.3, y + 0.4, 2.7, 0, 2 * std::numbers::pi);
  cairo_fill(cr);
  cairo_pattern_t* head = RadialGradient(x - 0.8, y - 0.9, 0, 2.8, {{0, 0xffffff}, {0.45, 0xc4c9d2}, {1, 0x4e535c}});
  cairo_set_source(cr, head);
  cairo_arc(cr, x, y, 2.1, 0, 2 * std::numbers::pi);
  cairo_fill(cr);
  cairo_pattern_destroy(head);
  SetSource(cr, 0x22252c, 0.9);
  cairo_set_line_width(cr, 0.8);
  cairo_move_to(cr, x - 1.7 * std::cos(slotAngle), y - 1.7 * std::sin(slotAngle));
  cairo_line_to(cr, x + 1.7 * std::cos(slotAngle), y + 1.7 * std::sin(slotAngle));
  cairo_stroke(cr);
}

void PaintFrame(const TCanvas& c) {
  const TValueNoise brush(kSeed);
  c.Flush();
  for (int py = 0; py < kFrameHeight; ++py) {
    uint32_t* row = c.Row(py);
    for (int px = 0; px < kFrameWidth; ++px) {
      const double x = px + 0.5, y = py + 0.5;
      const TEdge edge = NearestEdge(x, y);
      if (edge.Depth <= 0) {
        row[px] = 0;
        continue;
      }
      const TRgb steel = SteelAt(brush, x, y, edge);
      // A dark seam where the steel meets the panel.
      const double seam = std::exp(-std::pow((edge.Depth - kBorder) / 0.7, 2));
      TRgb colour = edge.Depth < kBorder ? steel : PanelAt(x, y);
      colour = Mix(colour, Rgb(0x050608), 0.7 * seam);
      row[px] = Opaque(colour);
    }
  }
  c.MarkDirty();
  AddGrain(c, 0.025, kSeed + 1);

  const double s = 6;
  PaintScrew(c.Cr(), s, s, 0.5);
  PaintScrew(c.Cr(), kFrameWidth - s, s, 2.1);
  PaintScrew(c.Cr(), s, kFrameHeight - s, 1.2);
  PaintScrew(c.Cr(), kFrameWidth - s, kFrameHeight - s, 2.7);
}

// The finished frame, painted once and cut from for every piece.
const TCanvas& FrameCanvas() {
  static const TCanvas canvas(kFrameWidth, kFrameHeight);
  static const bool painted = (PaintFrame(canvas), true);
  (void)painted;
  return canvas;
}

// A piece of the frame at screen position (x, y).
void CutFromFrame(int x, int y, const TCanvas& to) { CopyCrop(FrameCanvas(), x - kFrameX, y - kFrameY, to); }

// A question in the display face: warm white over a soft dark halo, lines
// centred on (cx, cy) by their capital height.
void PaintQuestion(const TCanvas& canvas, const TQuestion& q, double cx, double cy) {
  const TFontFace face = DisplayFace(kQuestionSize, kQuestionSlant, kQuestionWidth);
  cairo_t* cr = canvas.Cr();
  SelectFont(cr, face);
  const double cap = -MeasureInk(cr, "Н").Y;
  const int count = q.Lines[1] ? 2 : 1;
  const double firstBaseline = cy - (cap + (count - 1) * kQuestionPitch) / 2 + cap;
  auto path = [&](cairo_t* p, int i) {
    SelectFont(p, face);
    const TInk ink = MeasureInk(p, q.Lines[i]);
    cairo_move_to(p, cx - (ink.X + ink.Width / 2), firstBaseline + i * kQuestionPitch);
    cairo_text_path(p, q.Lines[i]);
  };
  auto allLines = [&](cairo_t* p) {
    for (int i = 0; i < count; ++i) path(p, i);
  };

  PaintBlurred(canvas, 2.2, 1.0, 2.0, 0.9, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    allLines(p);
    cairo_set_line_width(p, 2.5);
    cairo_stroke_preserve(p);
    cairo_fill(p);
  });
  SetSource(cr, 0x07080e, 0.9);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 1.8);
  allLines(cr);
  cairo_stroke(cr);
  for (int i = 0; i < count; ++i) {
    const double baseline = firstBaseline + i * kQuestionPitch;
    cairo_pattern_t* fill = LinearGradient(0, baseline - cap, 0, baseline,
                                           {{0, 0xffffff}, {0.5, 0xf2eaea}, {0.56, 0xdcd0d0}, {1, 0xb4a8ae}});
    cairo_set_source(cr, fill);
    path(cr, i);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
  }
}

TSurface QuestionPicture(const TQuestion& q) {
  TCanvas under(q.Width, q.Height), caption(q.Width, q.Height);
  CutFromFrame(q.X, q.Y, under);
  CutFromFrame(q.X, q.Y, caption);
  PaintQuestion(caption, q, q.Width / 2.0, q.CentreY - q.Y);
  FadeEdgesInto(caption, under, 2);
  return ToOpaqueSurface(caption);
}

void RoundedRect(cairo_t* cr, double l, double t, double r, double b, double radius) {
  const double pi = std::numbers::pi;
  cairo_new_sub_path(cr);
  cairo_arc(cr, r - radius, t + radius, radius, -pi / 2, 0);
  cairo_arc(cr, r - radius, b - radius, radius, 0, pi / 2);
  cairo_arc(cr, l + radius, b - radius, radius, pi / 2, pi);
  cairo_arc(cr, l + radius, t + radius, radius, pi, 3 * pi / 2);
  cairo_close_path(cr);
}

// One look of an answer button: a raised steel-rimmed key on the panel,
// its face dark when idle and glowing warm when hovered.
void PaintAnswerButton(const TCanvas& c, const char* caption, bool hovered) {
  cairo_t* cr = c.Cr();
  const double l = 2.5, t = 2.5, r = kButtonWidth - 3.0, b = kButtonHeight - 3.5;
  PaintBlurred(c, 1.6, 1.2, 1.8, 0.8, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    RoundedRect(p, l, t, r, b, 6);
    cairo_fill(p);
  });
  if (hovered) {
    PaintBlurred(c, 2.5, 0, 0, 0.55, [&](cairo_t* p) {
      SetSource(p, 0xff6a10);
      RoundedRect(p, l, t, r, b, 6);
      cairo_set_line_width(p, 2.5);
      cairo_stroke(p);
    }, CAIRO_OPERATOR_ADD);
  }

  cairo_pattern_t* rim = hovered ? LinearGradient(0, t, 0, b, {{0, 0xfff0d8}, {0.45, 0xd8a070}, {1, 0x6a3a1c}})
                                 : LinearGradient(0, t, 0, b, {{0, 0xe6e9ef}, {0.45, 0xa2a8b3}, {1, 0x484d57}});
  cairo_set_source(cr, rim);
  RoundedRect(cr, l, t, r, b, 6);
  cairo_fill(cr);
  cairo_pattern_destroy(rim);

  const double fl = l + 2, ft = t + 2, fr = r - 2, fb = b - 2;
  cairo_pattern_t* face = hovered ? LinearGradient(0, ft, 0, fb, {{0, 0x3e2214}, {0.5, 0x22120a}, {1, 0x140804}})
                                  : LinearGradient(0, ft, 0, fb, {{0, 0x343c52}, {0.5, 0x1e2332}, {1, 0x11141c}});
  cairo_set_source(cr, face);
  RoundedRect(cr, fl, ft, fr, fb, 4.5);
  cairo_fill(cr);
  cairo_pattern_destroy(face);
  if (hovered) {
    // Light from the rim spilling inwards over the face.
    cairo_save(cr);
    RoundedRect(cr, fl, ft, fr, fb, 4.5);
    cairo_clip(cr);
    PaintBlurred(c, 2.2, 0, 0, 0.5, [&](cairo_t* p) {
      SetSource(p, 0xff7a20);
      RoundedRect(p, fl, ft, fr, fb, 4.5);
      cairo_set_line_width(p, 2);
      cairo_stroke(p);
    }, CAIRO_OPERATOR_ADD);
    cairo_restore(cr);
  }

  // Gloss over the upper half of the face.
  cairo_save(cr);
  RoundedRect(cr, fl, ft, fr, fb, 4.5);
  cairo_clip(cr);
  cairo_pattern_t* gloss = LinearGradient(0, ft, 0, (ft + fb) / 2, {{0, 0xffffff, 0.16}, {1, 0xffffff, 0.02}});
  cairo_set_source(cr, gloss);
  cairo_rectangle(cr, fl, ft, fr - fl, (fb - ft) / 2);
  cairo_fill(cr);
  cairo_pattern_destroy(gloss);
  cairo_restore(cr);

  PaintMenuCaption(c, caption, (l + r) / 2, (t + b) / 2, hovered ? TCaptionLook::Hovered : TCaptionLook::Normal,
                   kAnswerSize, hovered ? fr - fl : 0);
}

// "Yes" / "No": pattern 0 hovered, pattern 1 normal, side by side.
TSurface AnswerPicture(int x, const char* caption) {
  TSurface sheet;
  sheet.Resize(2 * kButtonWidth, kButtonHeight);
  for (int pattern = 0; pattern < 2; ++pattern) {
    TCanvas under(kButtonWidth, kButtonHeight), button(kButtonWidth, kButtonHeight);
    CutFromFrame(x, kButtonY, under);
    CutFromFrame(x, kButtonY, button);
    PaintAnswerButton(button, caption, pattern == 0);
    FadeEdgesInto(button, under, 2);
    const TSurface look = ToOpaqueSurface(button);
    for (int y = 0; y < kButtonHeight; ++y)
      std::copy(look.Row(y), look.Row(y) + kButtonWidth, sheet.Row(y) + pattern * kButtonWidth);
  }
  return sheet;
}

}  // namespace

void AddWindowArt(TImageItems& res1) {
  res1.push_back(KeyedPicture("Window", ToKeyedSurface(FrameCanvas(), kKey), kKey));
  for (const TQuestion& q : kQuestions) res1.push_back(OpaquePicture(q.Name, QuestionPicture(q)));
  res1.push_back(OpaquePicture("Yes", AnswerPicture(kYesX, "Да"), kButtonWidth, kButtonHeight));
  res1.push_back(OpaquePicture("No", AnswerPicture(kNoX, "Нет"), kButtonWidth, kButtonHeight));
}

namespace {

// Draws one pattern the way the game does: unscaled, key colour skipped.
void DrawPattern(const TCanvas& page, const TPictureCollectionItem& item, int pattern, int x, int y) {
  const int w = item.Width(), h = item.Height();
  const int columns = item.Picture.Width / w;
  const int sx = (pattern % columns) * w, sy = (pattern / columns) * h;
  const uint32_t key = static_cast<uint32_t>(((item.TransparentColor & 0xFF) << 16) |
                                             (item.TransparentColor & 0xFF00) | ((item.TransparentColor >> 16) & 0xFF));
  page.Flush();
  for (int row = 0; row < h; ++row) {
    if (y + row < 0 || y + row >= page.Height()) continue;
    const uint32_t* from = item.Picture.Row(sy + row) + sx;
    uint32_t* to = page.Row(y + row);
    for (int col = 0; col < w; ++col) {
      if (x + col < 0 || x + col >= page.Width()) continue;
      if (item.Transparent && from[col] == key) continue;
      to[x + col] = 0xFF000000u | from[col];
    }
  }
  page.MarkDirty();
}

// The main menu's buttons in their normal look, as the screen under the
// leave-the-game question shows them.
void ComposeMenuUnder(const TImageItems& res1, const TCanvas& page) {
  DrawPattern(page, FindPicture(res1, "MMBG"), 0, 0, 0);
  struct TPlace {
    const char* Name;
    int X, Y;
  };
  constexpr TPlace places[] = {{"MM_1_0", 284, 27}, {"MM_2_0", 323, 133}, {"MM_3_0", 229, 239},
                               {"MM_4_0", 56, 342},  {"MM_5_0", 512, 342}, {"MM_6_0", 282, 498}};
  for (const TPlace& p : places) DrawPattern(page, FindPicture(res1, p.Name), 0, p.X, p.Y);
}

// A stand-in for the race under the leave-the-race question: four lanes of
// asphalt between sidewalks and grass, to judge the window over the road.
void ComposeRoadUnder(const TCanvas& page) {
  cairo_t* cr = page.Cr();
  SetSource(cr, 0x44573a);
  cairo_paint(cr);
  SetSource(cr, 0x8a857c);
  cairo_rectangle(cr, 70, 0, 470, 592);
  cairo_fill(cr);
  SetSource(cr, 0xc8c6c0);
  cairo_rectangle(cr, 100, 0, 410, 592);
  cairo_fill(cr);
  SetSource(cr, 0x3b3e45);
  cairo_rectangle(cr, 106, 0, 398, 592);
  cairo_fill(cr);
  SetSource(cr, 0xf0f0f0);
  for (int lane = 1; lane < 4; ++lane)
    for (int y = -20; y < 592; y += 72) {
      cairo_rectangle(cr, 106 + lane * 99.5 - 2, y, 4, 36);
      cairo_fill(cr);
    }
  SetSource(cr, 0x1c1e24);
  cairo_rectangle(cr, 610, 0, 182, 592);
  cairo_fill(cr);
  AddGrain(page, 0.03, 7);
}

void ComposeQuestion(const TImageItems& res1, const TCanvas& page, const TQuestion& q, int hovered) {
  DrawPattern(page, FindPicture(res1, "Window"), 0, kFrameX, kFrameY);
  DrawPattern(page, FindPicture(res1, q.Name), 0, q.X, q.Y);
  DrawPattern(page, FindPicture(res1, "Yes"), hovered == 11 ? 0 : 1, kYesX, kButtonY);
  DrawPattern(page, FindPicture(res1, "No"), hovered == 12 ? 0 : 1, kNoX, kButtonY);
}

// The window's neighbourhood enlarged three times, pixels kept sharp.
void WriteCloseUp(const TCanvas& page, const std::string& path) {
  constexpr int kLeft = kFrameX - 12, kTop = kFrameY - 12, kW = kFrameWidth + 24, kH = kFrameHeight + 24, kZoom = 3;
  TCanvas zoom(kW * kZoom, kH * kZoom);
  cairo_t* cr = zoom.Cr();
  cairo_scale(cr, kZoom, kZoom);
  cairo_set_source_surface(cr, page.Surface(), -kLeft, -kTop);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  WritePng(zoom, path);
}

}  // namespace

void WriteWindowPreviews(const TImageItems& res1, const TImageItems&, const std::string& dir) {
  const std::string out = dir + "/windows";
  std::filesystem::create_directories(out);
  TCanvas page(792, 592);
  ComposeMenuUnder(res1, page);
  ComposeQuestion(res1, page, kQuestions[0], 12);
  WritePng(page, out + "/exit_game.png");
  WriteCloseUp(page, out + "/exit_game_closeup.png");
  ComposeMenuUnder(res1, page);
  ComposeQuestion(res1, page, kQuestions[0], 11);
  WritePng(page, out + "/exit_game_yes.png");
  WriteCloseUp(page, out + "/exit_game_yes_closeup.png");
  DrawPattern(page, FindPicture(res1, "MMBG"), 0, 0, 0);
  ComposeQuestion(res1, page, kQuestions[2], 12);
  WritePng(page, out + "/clear_highscores.png");
  WriteCloseUp(page, out + "/clear_highscores_closeup.png");
  ComposeRoadUnder(page);
  ComposeQuestion(res1, page, kQuestions[1], 11);
  WritePng(page, out + "/exit_to_menu_race.png");
  WriteCloseUp(page, out + "/exit_to_menu_race_closeup.png");
}
