// The name entry window. It is the question windows' panel, taller: the
// game prints the score and the typed name into it, both white and centred
// on x = 348 (the score on y = 217, the name on y = 345, the cursor just
// right of the name under its baseline), so the panel gives each a dark
// recessed display there, with a glowing title over them, a prompt between
// them, the send check box row under the name and a hint on how to finish.
//
// The frame is keyed at its cut corners so it sits over the frozen race or
// any screen; the check box is a crop of the frame with the box painted
// empty or ticked, so it joins the frame exactly.
#include "assets/pictures/screens/send_art.h"

#include <filesystem>
#include <string>

#include "gfx/cp1251.h"
#include "gfx/text.h"
#include "assets/pictures/screens/menu_art.h"
#include "assets/paint/paint.h"
#include "assets/pictures/screens/screen_art.h"

using namespace paint;
using namespace screen_art;

namespace {

constexpr int kFrameX = 127, kFrameY = 135;
constexpr int kFrameWidth = 2 * (348 - kFrameX), kFrameHeight = 326;
constexpr double kCentreX = 348;

constexpr double kTitleY = 167;
// The name's field: a letter is still added to a name narrower than 241
// pixels, so a name can reach about 270 pixels, centred on x = 348 and
// y = 345, with the cursor after it. The score's display above it, where
// the score is printed centred on y = 217, has the same width, and so does
// the check box row below: the box's left edge is the field's.
constexpr TBox kNameBox{180, 320, 516, 368};
constexpr TBox kScoreBox{180, 195, 516, 240};
constexpr double kDividerY = 265;
constexpr double kPromptY = 292;

// The check box's picture covers the click area the window reacts to.
constexpr int kCheckX = 161, kCheckY = 369, kCheckWidth = 54, kCheckHeight = 45;
constexpr double kBoxSide = 30;
constexpr double kBoxCentreX = kNameBox.L + kBoxSide / 2;
constexpr double kCheckCaptionX = kNameBox.L + kBoxSide + 10;
constexpr double kHintY = 436;

void PaintCheckBox(const TCanvas& c, double cx, double cy, bool ticked) {
  const double h = kBoxSide / 2;
  const TBox field = PaintInsetBox(c, {cx - h, cy - h, cx + h, cy + h}, 5, 3);
  if (!ticked) return;
  cairo_t* cr = c.Cr();
  // The field lights up green behind the tick.
  cairo_save(cr);
  RoundedRect(cr, field.L, field.T, field.R, field.B, 3);
  cairo_clip(cr);
  cairo_pattern_t* lit = RadialGradient(cx, cy, 0, h, {{0, 0x40ff30, 0.35}, {1, 0x40ff30, 0.05}});
  cairo_set_source(cr, lit);
  cairo_paint(cr);
  cairo_pattern_destroy(lit);
  cairo_restore(cr);
  auto tick = [&](cairo_t* p) {
    cairo_new_path(p);
    cairo_move_to(p, cx - 8, cy + 0.5);
    cairo_line_to(p, cx - 2.5, cy + 7);
    cairo_line_to(p, cx + 9.5, cy - 9);
    cairo_set_line_cap(p, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(p, CAIRO_LINE_JOIN_ROUND);
  };
  PaintBlurred(c, 3.0, 0, 0, 0.9, [&](cairo_t* p) {
    SetSource(p, 0x30ff20);
    tick(p);
    cairo_set_line_width(p, 5);
    cairo_stroke(p);
  }, CAIRO_OPERATOR_ADD);
  SetSource(cr, 0x04140a, 0.9);
  tick(cr);
  cairo_set_line_width(cr, 6);
  cairo_stroke(cr);
  cairo_pattern_t* green = LinearGradient(0, cy - 9, 0, cy + 7, {{0, 0xf0ffe8}, {0.5, 0xb4f59a}, {1, 0x5cd844}});
  cairo_set_source(cr, green);
  tick(cr);
  cairo_set_line_width(cr, 3.8);
  cairo_stroke(cr);
  cairo_pattern_destroy(green);
}

// The window's words, in Russian and for "SendTable_En" in English.
struct TSendWords {
  const char *Title, *Score, *Prompt, *Send, *Hint;
};
constexpr TSendWords kRussian{"Новый рекорд!", "ОЧКИ", "Введите своё имя:", "Отправить результат в онлайн-таблицу",
                              "Enter — записать результат"};
constexpr TSendWords kEnglish{"New high score!", "SCORE", "Enter your name:", "Send the score to the online table",
                              "Enter — keep the score"};

// The whole window, unkeyed, in screen coordinates shifted to the frame.
void PaintSendWindow(const TCanvas& c, const TSendWords& words) {
  const double ox = -kFrameX, oy = -kFrameY;
  PaintSteelPanel(c, TSteelPanel{.Width = kFrameWidth, .Height = kFrameHeight, .PoolY = 30}, 0, 0);
  auto box = [&](TBox b) { return TBox{b.L + ox, b.T + oy, b.R + ox, b.B + oy}; };
  const double cx = kCentreX + ox;
  PaintMenuCaption(c, words.Title, cx, kTitleY + oy, TCaptionLook::Hovered, 38, 300);
  PaintInsetBox(c, box(kScoreBox), 6, 3);
  PaintLabel(c, words.Score, DisplayFace(16, -0.1, 0.9), kScoreBox.L + 12 + ox, (kScoreBox.T + kScoreBox.B) / 2 + oy,
             0x9ab0d8, 0x6a80a8, 0);
  // An engraved line between the result and the name.
  cairo_t* cr = c.Cr();
  cairo_pattern_t* groove = LinearGradient(kScoreBox.L + ox, 0, kScoreBox.R + ox, 0,
                                           {{0, 0x000000, 0}, {0.2, 0x000000, 0.6}, {0.8, 0x000000, 0.6}, {1, 0x000000, 0}});
  cairo_set_source(cr, groove);
  cairo_rectangle(cr, kScoreBox.L + ox, kDividerY + oy, kScoreBox.R - kScoreBox.L, 1);
  cairo_fill(cr);
  cairo_pattern_destroy(groove);
  cairo_pattern_t* ridge = LinearGradient(kScoreBox.L + ox, 0, kScoreBox.R + ox, 0,
                                          {{0, 0x8a94ac, 0}, {0.2, 0x8a94ac, 0.3}, {0.8, 0x8a94ac, 0.3}, {1, 0x8a94ac, 0}});
  cairo_set_source(cr, ridge);
  cairo_rectangle(cr, kScoreBox.L + ox, kDividerY + 1 + oy, kScoreBox.R - kScoreBox.L, 1);
  cairo_fill(cr);
  cairo_pattern_destroy(ridge);
  PaintLabel(c, words.Prompt, DisplayFace(25, -0.1, 0.9), cx, kPromptY + oy, 0xffffff, 0xb4a8ae);
  PaintInsetBox(c, box(kNameBox), 6, 3);
  PaintCheckBox(c, kBoxCentreX + ox, kCheckY + kCheckHeight / 2.0 + oy, false);
  PaintLabel(c, words.Send, DisplayFace(20, -0.1, 0.86), kCheckCaptionX + ox,
             kCheckY + kCheckHeight / 2.0 + oy, 0xf2eaea, 0xb4a8ae, 0);
  PaintLabel(c, words.Hint, DisplayFace(16, -0.1, 0.9), cx, kHintY + oy, 0x9ab0d8, 0x6a80a8);
}

const TCanvas& WindowCanvas() {
  static const TCanvas canvas(kFrameWidth, kFrameHeight);
  static const bool painted = (PaintSendWindow(canvas, kRussian), true);
  (void)painted;
  return canvas;
}

TSurface CheckBoxPicture() {
  TSurface looks[2];
  for (int pattern = 0; pattern < 2; ++pattern) {
    TCanvas pic(kCheckWidth, kCheckHeight);
    CopyCrop(WindowCanvas(), kCheckX - kFrameX, kCheckY - kFrameY, pic);
    if (pattern == 1) PaintCheckBox(pic, kBoxCentreX - kCheckX, kCheckHeight / 2.0, true);
    looks[pattern] = ToOpaqueSurface(pic);
  }
  return SideBySide(looks, 2);
}

}  // namespace

void AddSendArt(TImageItems& res1) {
  res1.push_back(KeyedPicture("SendTable", ToKeyedSurface(WindowCanvas(), kKey), kKey));
  const TCanvas english(kFrameWidth, kFrameHeight);
  PaintSendWindow(english, kEnglish);
  res1.push_back(KeyedPicture("SendTable_En", ToKeyedSurface(english, kKey), kKey));
  res1.push_back(OpaquePicture("SendOk", CheckBoxPicture(), kCheckWidth, kCheckHeight));
}

namespace {

void ComposeMainMenu(TScreenPage& page, const TImageItems& res1) {
  page.Draw(res1, "MMBG", 0, 0, 0);
  struct TPlace {
    const char* Name;
    int X, Y;
  };
  constexpr TPlace places[] = {{"MM_1_0", 284, 27}, {"MM_2_0", 323, 133}, {"MM_3_0", 229, 239},
                               {"MM_4_0", 56, 342},  {"MM_5_0", 512, 342}, {"MM_6_0", 282, 498}};
  for (const TPlace& p : places) page.Draw(res1, p.Name, 0, p.X, p.Y);
}

// The frozen race under the window.
void ComposeRoad(TScreenPage& page) {
  TCanvas c(792, 592);
  PaintRaceStandIn(c);
  TImageItems under;
  under.push_back(OpaquePicture("Road", ToOpaqueSurface(c)));
  page.Draw(under, "Road", 0, 0, 0);
}

// The window as the name entry's tick leaves it.
void ComposeNameEntry(TScreenPage& page, const TImageItems& res1, int score, const std::string& name, bool ticked) {
  page.Draw(res1, "SendTable", 0, kFrameX, kFrameY);
  page.Draw(res1, "SendOk", ticked ? 1 : 0, kCheckX, kCheckY);
  page.Text(9, std::to_string(score), 348, 217, true, true);
  page.Text(10, name, 348, 345, true, true);
  const int cursorX = TextWidth(Cp1251FromUtf8(name), 10) / 2 + 348;
  page.Draw(res1, "Cursor2", 0, cursorX, 360);
}

}  // namespace

void WriteSendPreviews(const TImageItems& res1, const TImageItems&, const std::string& dir) {
  const std::string out = dir + "/screens";
  std::filesystem::create_directories(out);
  TScreenPage page;
  ComposeMainMenu(page, res1);
  ComposeNameEntry(page, res1, 12450, "Вольтрейсер", true);
  page.Save(out + "/name_entry.png");
  ComposeMainMenu(page, res1);
  ComposeNameEntry(page, res1, 7, "", false);
  page.Save(out + "/name_entry_empty_not_sent.png");
  // The widest name the entry accepts: letters are added while the name is
  // narrower than 241 pixels and shorter than 12 letters.
  std::string widest;
  while (widest.size() < 2 * 12 && TextWidth(Cp1251FromUtf8(widest), 10) < 241) widest += "Ж";
  ComposeRoad(page);
  ComposeNameEntry(page, res1, 1254300, widest, true);
  page.Save(out + "/name_entry_over_race.png");
}
