// The question windows. The frame is drawn per pixel: a steel border with
// mitred corners, bevelled on both edges and brushed along each side, lit
// from the top left, around a dark recessed panel. Everything the windows
// put over the frame is a crop of it with the caption or button painted on,
// so it joins the frame exactly.
#include "assets/pictures/screens/window_art.h"

#include <algorithm>
#include <filesystem>
#include <string>

#include "assets/pictures/screens/menu_art.h"
#include "assets/paint/paint.h"
#include "assets/pictures/screens/screen_art.h"

using namespace paint;
using namespace screen_art;

namespace {

// Screen places of the window's pieces, top-left corners. The frame is
// centred on x = 348, where the game centres every window text.
constexpr int kFrameX = 188, kFrameY = 237;
constexpr int kFrameWidth = 320, kFrameHeight = 124;
constexpr int kButtonWidth = 73, kButtonHeight = 38;
constexpr int kYesX = 237, kNoX = 386, kButtonY = 296;

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
// The English twins, "_En", in the same places.
constexpr TQuestion kQuestionsEn[] = {
    {"Win_EG_En", 295, 248, 106, 47, 271.5, {"Quit game?", nullptr}},
    {"Win_ExitToMenu_En", 276, 248, 144, 47, 271.5, {"Back to menu?", nullptr}},
    {"Win_ClearHS_En", 268, 237, 160, 58, 268.5, {"Clear the", "high scores?"}},
};
// Condensed enough that the leave-the-game question fits its 106 pixels.
constexpr double kQuestionSize = 24.5;
constexpr double kQuestionWidth = 0.72;
constexpr double kQuestionSlant = -0.1;
constexpr double kQuestionPitch = 21;

constexpr double kAnswerSize = 25;

void PaintFrame(const TCanvas& c) {
  const TSteelPanel frame{.Width = kFrameWidth,
                          .Height = kFrameHeight,
                          .Border = kBorder,
                          .Chamfer = kChamfer,
                          .Seed = kSeed,
                          .Glint1At = 70,
                          .Glint1Width = 26,
                          .Glint2At = 230,
                          .Glint2Width = 40,
                          .ShadeHeight = kFrameHeight,
                          .ScrewInset = 6,
                          .SoftOutline = false};
  PaintSteelPanel(c, frame, 0, 0);
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

// One look of an answer button: a raised steel-rimmed key on the panel,
// its face dark when idle and glowing warm when hovered.
void PaintAnswerButton(const TCanvas& c, const char* caption, bool hovered) {
  cairo_t* cr = c.Cr();
  const double l = 2.5, t = 2.5, r = kButtonWidth - 3.0, b = kButtonHeight - 3.5;
  const TBox f = PaintRaisedKey(c, {l, t, r, b}, hovered, {1.6, 1.2, 1.8, 0.8, 2.5, 0.55});
  const double fl = f.L, ft = f.T, fr = f.R, fb = f.B;
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
  for (const TQuestion& q : kQuestionsEn) res1.push_back(OpaquePicture(q.Name, QuestionPicture(q)));
  res1.push_back(OpaquePicture("Yes", AnswerPicture(kYesX, "Да"), kButtonWidth, kButtonHeight));
  res1.push_back(OpaquePicture("No", AnswerPicture(kNoX, "Нет"), kButtonWidth, kButtonHeight));
  res1.push_back(OpaquePicture("Yes_En", AnswerPicture(kYesX, "Yes"), kButtonWidth, kButtonHeight));
  res1.push_back(OpaquePicture("No_En", AnswerPicture(kNoX, "No"), kButtonWidth, kButtonHeight));
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
  PaintRaceStandIn(page);
  ComposeQuestion(res1, page, kQuestions[1], 11);
  WritePng(page, out + "/exit_to_menu_race.png");
  WriteCloseUp(page, out + "/exit_to_menu_race_closeup.png");
}
