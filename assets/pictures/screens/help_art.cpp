// The help screen's pictures. The page-turn buttons are round steel keys
// with an arrow, set on a diagonal right of the "back" button: the next
// page above and to the right of the previous one, as the Up and Down keys
// turn the pages. Lit they glow like the menu's captions. The about page
// shows the game's logo drawn small, as on the menu background, left of
// the lines it prints.
#include "assets/pictures/screens/help_art.h"

#include <algorithm>
#include <filesystem>
#include <numbers>
#include <string>

#include "assets/pictures/screens/menu_art.h"
#include "assets/paint/paint.h"
#include "assets/pictures/screens/screen_art.h"
#include "assets/pictures/screens/title_logo.h"

using namespace paint;
using namespace screen_art;

namespace {

struct TArrowButton {
  const char* Name;
  int X, Y;
  int Direction;  // -1 points left, 1 right
  double Shift;   // of the key from the picture's middle
};
// The "back" button to the left reaches x = 547 and is drawn over the first
// columns of the previous-page picture, so that key and its glow keep clear
// of them.
constexpr TArrowButton kArrows[] = {{"Help_Prev", 537, 512, -1, 4}, {"Help_Next", 622, 435, 1, 0}};
constexpr int kArrowWidth = 76, kArrowHeight = 64;
constexpr double kKeyRadius = 23;

constexpr int kLogoX = 73, kLogoY = 338;
constexpr int kLogoWidth = 84, kLogoHeight = 82;

void ChevronPath(cairo_t* cr, double cx, double cy, int direction) {
  const double d = direction;
  cairo_new_sub_path(cr);
  cairo_move_to(cr, cx - 4.5 * d, cy - 9.5);
  cairo_line_to(cr, cx + 5.5 * d, cy);
  cairo_line_to(cr, cx - 4.5 * d, cy + 9.5);
}

void PaintArrowKey(const TCanvas& c, double cx, double cy, int direction, bool hovered) {
  cairo_t* cr = c.Cr();
  const double r = kKeyRadius;
  PaintBlurred(c, 2.2, 2.5, 3.5, 0.8, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    Disc(p, cx, cy, r);
    cairo_fill(p);
  });
  if (hovered) {
    PaintBlurred(c, 4.0, 0, 0, 0.75, [&](cairo_t* p) {
      SetSource(p, 0xff6a10);
      Disc(p, cx, cy, r);
      cairo_set_line_width(p, 3);
      cairo_stroke(p);
    }, CAIRO_OPERATOR_ADD);
  }
  cairo_pattern_t* rim = hovered
                             ? LinearGradient(cx - r, cy - r, cx + r * 0.6, cy + r, {{0, 0xfff0d8}, {0.45, 0xd8a070}, {1, 0x5a3018}})
                             : LinearGradient(cx - r, cy - r, cx + r * 0.6, cy + r, {{0, 0xf2f4f8}, {0.45, 0xa2a8b3}, {1, 0x3a3e48}});
  cairo_set_source(cr, rim);
  Disc(cr, cx, cy, r);
  cairo_fill(cr);
  cairo_pattern_destroy(rim);
  SetSource(cr, 0x06070a);
  Disc(cr, cx, cy, r - 3.6);
  cairo_fill(cr);
  const double fr = r - 4.4;
  cairo_pattern_t* face = hovered ? LinearGradient(0, cy - fr, 0, cy + fr, {{0, 0x3e2214}, {0.5, 0x22120a}, {1, 0x140804}})
                                  : LinearGradient(0, cy - fr, 0, cy + fr, {{0, 0x343c52}, {0.5, 0x1e2332}, {1, 0x11141c}});
  cairo_set_source(cr, face);
  Disc(cr, cx, cy, fr);
  cairo_fill(cr);
  cairo_pattern_destroy(face);
  if (hovered) {
    // Light from the rim spilling over the face.
    cairo_save(cr);
    Disc(cr, cx, cy, fr);
    cairo_clip(cr);
    PaintBlurred(c, 2.5, 0, 0, 0.55, [&](cairo_t* p) {
      SetSource(p, 0xff7a20);
      Disc(p, cx, cy, fr);
      cairo_set_line_width(p, 2.5);
      cairo_stroke(p);
    }, CAIRO_OPERATOR_ADD);
    cairo_restore(cr);
  }

  const double ax = cx + 0.8 * direction;
  PaintBlurred(c, 2.0, 1.0, 1.6, 0.9, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    ChevronPath(p, ax, cy, direction);
    cairo_set_line_width(p, 8);
    cairo_set_line_cap(p, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(p, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(p);
  });
  if (hovered) {
    PaintBlurred(c, 3.5, 0, 0, 1.0, [&](cairo_t* p) {
      SetSource(p, 0xff6a10);
      ChevronPath(p, ax, cy, direction);
      cairo_set_line_width(p, 8);
      cairo_set_line_cap(p, CAIRO_LINE_CAP_ROUND);
      cairo_set_line_join(p, CAIRO_LINE_JOIN_ROUND);
      cairo_stroke(p);
    }, CAIRO_OPERATOR_ADD);
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  SetSource(cr, 0x07080e, 0.9);
  ChevronPath(cr, ax, cy, direction);
  cairo_set_line_width(cr, 7.6);
  cairo_stroke(cr);
  cairo_pattern_t* fill = hovered ? LinearGradient(0, cy - 10, 0, cy + 10, {{0, 0xfffbe0}, {0.45, 0xffd040}, {0.55, 0xff9a20}, {1, 0xff6a10}})
                                  : LinearGradient(0, cy - 10, 0, cy + 10, {{0, 0xffffff}, {0.5, 0xefe6e6}, {0.55, 0xd8cccc}, {1, 0xa89aa2}});
  cairo_set_source(cr, fill);
  ChevronPath(cr, ax, cy, direction);
  cairo_set_line_width(cr, 5.2);
  cairo_stroke(cr);
  cairo_pattern_destroy(fill);

  // The key's face is glass: the sky shows on its upper half.
  cairo_save(cr);
  Disc(cr, cx, cy, fr);
  cairo_clip(cr);
  cairo_pattern_t* gloss = LinearGradient(0, cy - fr, 0, cy, {{0, 0xffffff, 0.2}, {1, 0xffffff, 0.02}});
  cairo_set_source(cr, gloss);
  cairo_save(cr);
  cairo_translate(cr, cx, cy - fr * 0.45);
  cairo_scale(cr, fr * 0.95, fr * 0.6);
  Disc(cr, 0, 0, 1);
  cairo_restore(cr);
  cairo_fill(cr);
  cairo_pattern_destroy(gloss);
  cairo_restore(cr);
}

TSurface ArrowPicture(const TArrowButton& b) {
  TSurface looks[2];
  for (int pattern = 0; pattern < 2; ++pattern) {
    TCanvas under(kArrowWidth, kArrowHeight), pic(kArrowWidth, kArrowHeight);
    CopyCrop(MenuBackground(), b.X, b.Y, under);
    CopyCrop(MenuBackground(), b.X, b.Y, pic);
    PaintArrowKey(pic, kArrowWidth / 2.0 + b.Shift, kArrowHeight / 2.0 - 1, b.Direction, pattern == 0);
    FadeEdgesInto(pic, under, 5);
    looks[pattern] = ToOpaqueSurface(pic);
  }
  return SideBySide(looks, 2);
}

// ---- The small logo -----------------------------------------------------------

// The menu background's title logo, drawn into a box `width` wide: the
// chrome word across the top, the hot "2" with its speed lines below it,
// the lines kept inside the box.
void PaintSmallLogo(const TCanvas& c, double left, double top, double width) {
  PaintTitleLogo(c,
                 {.Left = left, .Top = top, .Width = width, .TwoSize = width * 0.92, .TwoInset = 2,
                  .TwoBase = width * 0.74, .TwoBelowWord = true, .ChromeFromInk = false, .LinesBolder = 1.3,
                  .LinesLonger = 1.15, .LinesLeftLimit = left - 2},
                 {2.2, 2, 2.5, 3.5, 0.8, 2.5, 4.5, 0.85, 3.5, 0.75, 2.2, 4, 1.5, 0.5, 0.6, 0.8});
}

TSurface LogoPicture() {
  TCanvas under(kLogoWidth, kLogoHeight), pic(kLogoWidth, kLogoHeight);
  CopyCrop(MenuBackground(), kLogoX, kLogoY, under);
  CopyCrop(MenuBackground(), kLogoX, kLogoY, pic);
  PaintSmallLogo(pic, 4, 6, 76);
  FadeEdgesInto(pic, under, 4);
  return ToOpaqueSurface(pic);
}

}  // namespace

void AddHelpArt(TImageItems& res1) {
  for (const TArrowButton& b : kArrows) res1.push_back(OpaquePicture(b.Name, ArrowPicture(b), kArrowWidth, kArrowHeight));
  res1.push_back(OpaquePicture("HelpLogo", LogoPicture()));
}

namespace {

const char* const kDescription[] = {
    "  Перед тобой продолжение самой захватывающей игры-гонки всех времен",
    "и народов! Вольтрейс 2 - это новые непредсказуемые трассы, опасные",
    "соперники и сумасшедшие скорости. Повышенный адреналин в крови",
    "гарантирован. Не сиди на месте, выбирай машину и стартуй! Главное - ",
    "не попади в аварию и не вылети с трассы. Собирай бонусы, следи за",
    "временем и не зевай на поворотах.",
    "  Финишируй первым, и лавры победителя у тебя в кармане!",
    "Ты готов принять брошенный вызов? Тогда вперед!"};
const char* const kMenuControls[] = {
    "Используйте курсорные клавишы или мышь чтобы перемещаться по пунктам меню.",
    "Нажмите \"Enter\" или любую кнопку мыши чтобы зайти в меню опций.",
    "Нажмите стрелку \"Влево\", \"Вправо\", \"Enter\" для изменения",
    "выбранной опции.",
    "Нажмите \"Esc\" чтобы выйти из подменю в главное меню."};
const char* const kGameControls[] = {
    "Используйте стрелки \"Влево\" и \"Вправо\" чтобы перемещать машину влево или",
    "вправо. Используйте стрелку \"Вверх\" и \"Вниз\" чтобы разгоняться или",
    "тормозить автомобиль. Используйте \"Пробел\" для ручного тормоза.",
    "Нажмите \"Z\" или \"Ctrl\" чтобы выстрелить из оружия.",
    "Нажмите \"X\" или \"Shift\" чтобы использовать нитро бонус.",
    "Нажмите \"H\" для звукового гудка. Нажмите \"P\" для вызова паузы.",
    "Для выхода в главное меню нажмите клавишу \"Escape\".",
    "Используйте клавишы \"Alt\"+\"Enter\" чтобы изменить режим экрана."};

// One page as HelpTick draws it, with `hovered` (1..3) lit.
void ComposeHelpPage(TScreenPage& page, const TImageItems& res1, const TImageItems& res2, int number, int hovered) {
  page.Draw(res1, "MMBG", 0, 0, 0);
  page.Draw(res1, "Help_Prev", hovered == 1 ? 0 : 1, kArrows[0].X, kArrows[0].Y);
  page.Draw(res1, "Help_Next", hovered == 2 ? 0 : 1, kArrows[1].X, kArrows[1].Y);
  page.Draw(res1, "Opt_Bk", hovered == 3 ? 0 : 1, 345, 513);
  page.Text(15, "ПОМОЩЬ", 563, 148, true, true);
  const char* const titles[] = {"ОПИСАНИЕ ИГРЫ", "БОНУСЫ", "УПРАВЛЕНИЕ", "УПРАВЛЕНИЕ", "ОБ ИГРЕ"};
  page.Text(19, titles[number - 1], 25, 245, false, true);
  switch (number) {
    case 1:
      for (int i = 0; i < 8; ++i) page.Text(20, kDescription[i], 25, 290 + 24 * i, false, true);
      break;
    case 2: {
      struct TIcon {
        const char* Image;
        const char* Text;
        int X, Y;
      };
      const TIcon icons[] = {{"BonusMGnp", "Пушка", 42, 314},    {"BonusRnp", "Ракетница", 42, 362},
                             {"BonusN", "Нитро", 42, 410},       {"BonusL", "Жизнь", 42, 458},
                             {"Bonus10", "10 очков", 282, 314},  {"Bonus20", "20 очков", 282, 362},
                             {"Bonus50", "50 очков", 282, 410},  {"Bonus100", "100 очков", 282, 458}};
      for (const TIcon& icon : icons) {
        page.DrawCentred(res2, icon.Image, icon.X, icon.Y);
        page.Text(21, icon.Text, icon.X + 38, icon.Y, false, true);
      }
      break;
    }
    case 3:
      page.Text(21, "УПРАВЛЕНИЕ В МЕНЮ", 25, 300, false, true);
      for (int i = 0; i < 5; ++i) page.Text(20, kMenuControls[i], 25, 290 + 24 * (i + 2), false, true);
      break;
    case 4:
      page.Text(21, "УПРАВЛЕНИЕ В ИГРЕ", 25, 300, false, true);
      for (int i = 0; i < 8; ++i) page.Text(20, kGameControls[i], 25, 290 + 24 * (i + 2), false, true);
      break;
    case 5:
      page.Draw(res1, "HelpLogo", 0, kLogoX, kLogoY);
      page.Text(21, " ВОЛЬТРЕЙС", 160, 320, false, true);
      page.Text(19, "2", 325, 315, false, true);
      page.Text(20, "(c) 2004 Вольтрейс. Все права защищены.", 160, 360, false, true);
      page.Text(20, "www.voltrace.example", 160, 400, false, true);
      break;
  }
}

}  // namespace

void WriteHelpPreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir) {
  const std::string out = dir + "/screens";
  std::filesystem::create_directories(out);
  TScreenPage page;
  for (int number = 1; number <= 5; ++number) {
    // Back is lit as the screen opens; pages 2 and 4 show the arrows lit.
    const int hovered = number == 2 ? 2 : number == 4 ? 1 : 3;
    ComposeHelpPage(page, res1, res2, number, hovered);
    page.Save(out + "/help_page" + std::to_string(number) + ".png");
  }
}
