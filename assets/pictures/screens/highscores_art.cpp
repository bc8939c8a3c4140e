// The highscores screen's pictures. The title sits in the calm sky at the
// top right, where the other screens print theirs. The table is a board of
// smoked glass in a steel frame, centred under the title, whose frame
// closes with a narrow bar along the screen's bottom edge: the tenth row is
// printed only 12 pixels above that edge. The game prints each name centred
// on x = 530 and each score centred on x = 720, both on one baseline per
// row, 36 pixels apart, so the board draws a band for every row there with
// the place number in a badge at its left. The buttons are the main menu's
// captions over the background, in one column centred at the left.
#include "assets/pictures/screens/highscores_art.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "assets/pictures/screens/menu_art.h"
#include "assets/paint/paint.h"
#include "assets/pictures/screens/screen_art.h"

using namespace paint;
using namespace screen_art;

namespace {

constexpr int kCaptionX = 364, kCaptionY = 102;
// Centred where the other screens centre their printed titles.
constexpr int kCaptionWidth = 2 * (563 - kCaptionX), kCaptionHeight = 2 * (148 - kCaptionY);
constexpr double kCaptionSize = 100;

// The board picture reaches from its place to the screen's right and bottom
// edges; the frame inside it is centred under the title.
constexpr int kTableX = 274, kTableY = 199;
constexpr int kTableWidth = 792 - kTableX, kTableHeight = 592 - kTableY;
constexpr int kBoardLeft = 342, kBoardRight = 784;
constexpr double kBorder = 10;
// The tenth row's letters end 5 pixels above the screen's edge, and its
// band 3 pixels above it.
constexpr double kBottomBar = 3;

// Rows as the game prints them: row i's name is centred on y = 256 + 36 (i-1)
// and its score 4 pixels higher, which puts both on one baseline. The
// printed ink reaches from 14 pixels above the name's centre (the score's
// digits) to 7 below it (the name's letters), so a row's band and badge
// sit a little above the name's centre.
constexpr int kRowPitch = 36;
constexpr double kFirstNameCentre = 256;
constexpr double kBandTop = -16, kBandBottom = 9;
constexpr double kBadgeTop = -14, kBadgeBottom = 7;
constexpr int kNameX = 530, kScoreX = 720;
constexpr double kBadgeLeft = 360, kBadgeRight = 404, kBadgeLean = 6;
constexpr double kBandLeft = 412, kBandRight = 772;
constexpr double kColumnSplit = 662;
constexpr double kHeaderCentre = 222.5;

// The left column: every caption centred on x = 137.
struct TButton {
  const char* Name;
  const char* Caption;
  int X, Y, Width;
  const char* English;  // the caption of the "_En" twin
};
constexpr int kButtonHeight = 56;
constexpr TButton kButtons[] = {
    {"HS_Clear", "Очистить", 0, 245, 274, "Clear"},
    {"HS_View", "Онлайн-таблица", 0, 335, 274, "Online table"},
    {"HS_Back", "Назад", 52, 457, 170, "Back"},
};

TSurface CaptionPicture(const char* title) {
  TCanvas under(kCaptionWidth, kCaptionHeight), pic(kCaptionWidth, kCaptionHeight);
  CopyCrop(MenuBackground(), kCaptionX, kCaptionY, under);
  CopyCrop(MenuBackground(), kCaptionX, kCaptionY, pic);
  PaintMenuCaption(pic, title, kCaptionWidth / 2.0, kCaptionHeight / 2.0, TCaptionLook::Intro, kCaptionSize);
  FadeEdgesInto(pic, under, 6);
  return ToOpaqueSurface(pic);
}

// Racing-board place badges: a leaning plate, gold, silver and bronze for
// the first three places and dark steel below them.
struct TBadgeLook {
  uint32_t Top, Middle, Bottom, Number, NumberShade;
};
TBadgeLook BadgeLook(int place) {
  switch (place) {
    case 1: return {0xfff2b0, 0xf2b830, 0x8a5a08, 0x2a1800, 0x4a3008};
    case 2: return {0xffffff, 0xbfc6d2, 0x5a6272, 0x161a22, 0x2a303c};
    case 3: return {0xffd0a0, 0xd0803a, 0x6a3410, 0x1e0c02, 0x3a1a06};
    default: return {0x4a5268, 0x2a3042, 0x161a26, 0xf2f4f8, 0xa8b2c6};
  }
}

void BadgePath(cairo_t* cr, double top, double bottom) {
  cairo_new_sub_path(cr);
  cairo_move_to(cr, kBadgeLeft + kBadgeLean, top);
  cairo_line_to(cr, kBadgeRight + kBadgeLean, top);
  cairo_line_to(cr, kBadgeRight, bottom);
  cairo_line_to(cr, kBadgeLeft, bottom);
  cairo_close_path(cr);
}

void PaintBadge(const TCanvas& c, int place, double nameCentre) {
  cairo_t* cr = c.Cr();
  const double top = nameCentre + kBadgeTop, bottom = nameCentre + kBadgeBottom;
  const double centre = (top + bottom) / 2;
  const TBadgeLook look = BadgeLook(place);
  PaintBlurred(c, 1.6, 1.5, 2.0, 0.8, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    BadgePath(p, top, bottom);
    cairo_fill(p);
  });
  if (place <= 3) {
    PaintBlurred(c, 4.0, 0, 0, 0.35, [&](cairo_t* p) {
      SetSource(p, look.Middle);
      BadgePath(p, top, bottom);
      cairo_fill(p);
    }, CAIRO_OPERATOR_ADD);
  }
  SetSource(cr, 0x06070a);
  BadgePath(cr, top - 1, bottom + 1);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  cairo_pattern_t* fill = LinearGradient(0, top, 0, bottom, {{0, look.Top}, {0.48, look.Middle}, {0.52, look.Bottom}, {1, look.Middle}});
  cairo_set_source(cr, fill);
  BadgePath(cr, top, bottom);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);
  // A light edge along the top of the plate.
  SetSource(cr, 0xffffff, place <= 3 ? 0.7 : 0.25);
  cairo_rectangle(cr, kBadgeLeft + kBadgeLean + 1, top, kBadgeRight - kBadgeLeft - 2, 1);
  cairo_fill(cr);

  const std::string number = std::to_string(place);
  const TFontFace face = DisplayFace(22, -0.2, 0.95);
  SelectFont(cr, face);
  const double cap = -MeasureInk(cr, "0").Y;
  const TInk ink = MeasureInk(cr, number);
  const double cx = (kBadgeLeft + kBadgeRight + kBadgeLean) / 2;
  cairo_move_to(cr, cx - ink.X - ink.Width / 2, centre + cap / 2);
  cairo_text_path(cr, number.c_str());
  if (place > 3) {
    SetSource(cr, 0x000000, 0.8);
    cairo_set_line_width(cr, 2);
    cairo_stroke_preserve(cr);
  }
  cairo_pattern_t* digits = LinearGradient(0, centre - cap / 2, 0, centre + cap / 2, {{0, look.Number}, {1, look.NumberShade}});
  cairo_set_source(cr, digits);
  cairo_fill(cr);
  cairo_pattern_destroy(digits);
}

// One row's band across the name and score columns: darker glass with a
// bevelled edge, the score column split off by a groove.
void PaintRowBand(const TCanvas& c, int place, double nameCentre) {
  cairo_t* cr = c.Cr();
  const double top = nameCentre + kBandTop, bottom = nameCentre + kBandBottom;
  const double shade = place % 2 ? 0.42 : 0.30;
  cairo_pattern_t* band = LinearGradient(kBandLeft, 0, kBandRight, 0,
                                         {{0, 0x02030a, shade + 0.1}, {0.5, 0x04060e, shade}, {1, 0x02030a, shade + 0.15}});
  cairo_set_source(cr, band);
  RoundedRect(cr, kBandLeft, top, kBandRight, bottom, 4);
  cairo_fill(cr);
  cairo_pattern_destroy(band);
  // Sunk into the glass: shade under its top edge, light on its lower lip.
  SetSource(cr, 0x000000, 0.45);
  cairo_rectangle(cr, kBandLeft + 3, top, kBandRight - kBandLeft - 6, 1);
  cairo_fill(cr);
  cairo_pattern_t* lip = LinearGradient(kBandLeft, 0, kBandRight, 0,
                                        {{0, 0x9ab4e8, 0}, {0.2, 0x9ab4e8, 0.22}, {0.8, 0x9ab4e8, 0.22}, {1, 0x9ab4e8, 0}});
  cairo_set_source(cr, lip);
  cairo_rectangle(cr, kBandLeft + 3, bottom - 1, kBandRight - kBandLeft - 6, 1);
  cairo_fill(cr);
  if (place <= 3) {
    // The medal's colour runs out from the badge along the band.
    const TBadgeLook look = BadgeLook(place);
    cairo_pattern_t* tint = LinearGradient(kBandLeft, 0, kBandLeft + 150, 0, {{0, look.Middle, 0.22}, {1, look.Middle, 0}});
    cairo_set_source(cr, tint);
    RoundedRect(cr, kBandLeft, top, kBandRight, bottom, 4);
    cairo_fill(cr);
    cairo_pattern_destroy(tint);
  }
  SetSource(cr, 0x000000, 0.55);
  cairo_rectangle(cr, kColumnSplit - 1, top + 4, 1, bottom - top - 8);
  cairo_fill(cr);
  SetSource(cr, 0x9ab4e8, 0.16);
  cairo_rectangle(cr, kColumnSplit, top + 4, 1, bottom - top - 8);
  cairo_fill(cr);
}

// The column heads: place, player, score.
TSurface TablePicture(const char* const heads[3]) {
  // Painted in screen coordinates on a canvas the size of the screen, then
  // cut out at the board's place.
  TCanvas screen(792, 592);
  CopyCrop(MenuBackground(), 0, 0, screen);

  // What shows through the board: the scene behind it, frosted and smoked.
  TCanvas glass(792, 592);
  PaintFrostedScene(MenuBackground(), glass, kTableX, kTableY, kTableWidth, kTableHeight,
                    {{0, 0x0a0e1a, 0.70}, {0.5, 0x070a12, 0.76}, {1, 0x05070c, 0.82}});

  const TSteelPanel board{.Width = kBoardRight - kBoardLeft,
                          .Height = 592 - kTableY,
                          .Border = kBorder,
                          .Chamfer = 5,
                          .BottomBorder = kBottomBar,
                          .PoolY = 12};
  PaintBlurred(screen, 3.5, 4, 5, 0.55, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    cairo_rectangle(p, kBoardLeft, kTableY, board.Width, board.Height);
    cairo_fill(p);
  });
  PaintSteelPanel(screen, board, kBoardLeft, kTableY, &glass);

  // Column heads over the rows.
  const TFontFace head = DisplayFace(17, -0.1, 0.9);
  const uint32_t headTop = 0xb8c8e8, headBottom = 0x7088b0;
  PaintLabel(screen, heads[0], head, (kBadgeLeft + kBadgeRight + kBadgeLean) / 2, kHeaderCentre, headTop, headBottom);
  PaintLabel(screen, heads[1], head, kNameX, kHeaderCentre, headTop, headBottom);
  PaintLabel(screen, heads[2], head, kScoreX, kHeaderCentre, headTop, headBottom);
  cairo_t* cr = screen.Cr();
  cairo_pattern_t* rule = LinearGradient(kBoardLeft + kBorder, 0, kBoardRight - kBorder, 0,
                                         {{0, 0x9ab4e8, 0}, {0.15, 0x9ab4e8, 0.35}, {0.85, 0x9ab4e8, 0.35}, {1, 0x9ab4e8, 0}});
  cairo_set_source(cr, rule);
  cairo_rectangle(cr, kBoardLeft + kBorder, kFirstNameCentre + kBandTop - 4, kBoardRight - kBoardLeft - 2 * kBorder, 1);
  cairo_fill(cr);
  cairo_pattern_destroy(rule);

  for (int place = 1; place <= 10; ++place) {
    const double nameCentre = kFirstNameCentre + kRowPitch * (place - 1);
    PaintRowBand(screen, place, nameCentre);
    PaintBadge(screen, place, nameCentre);
  }

  TCanvas pic(kTableWidth, kTableHeight);
  CopyCrop(screen, kTableX, kTableY, pic);
  return ToOpaqueSurface(pic);
}

TSurface ButtonPicture(const TButton& b, const char* caption) {
  const TSurface looks[2] = {
      MenuButtonPicture(b.X, b.Y, b.Width, kButtonHeight, caption, TCaptionLook::Hovered),
      MenuButtonPicture(b.X, b.Y, b.Width, kButtonHeight, caption, TCaptionLook::Normal)};
  return SideBySide(looks, 2);
}

}  // namespace

void AddHighscoresArt(TImageItems& res1) {
  static const char* const russianHeads[3] = {"МЕСТО", "ИГРОК", "ОЧКИ"};
  static const char* const englishHeads[3] = {"PLACE", "PLAYER", "SCORE"};
  res1.push_back(OpaquePicture("HSCaption", CaptionPicture("РЕКОРДЫ")));
  res1.push_back(OpaquePicture("HSCaption_En", CaptionPicture("SCORES")));
  res1.push_back(OpaquePicture("HSTable", TablePicture(russianHeads)));
  res1.push_back(OpaquePicture("HSTable_En", TablePicture(englishHeads)));
  for (const TButton& b : kButtons) {
    res1.push_back(OpaquePicture(b.Name, ButtonPicture(b, b.Caption), b.Width, kButtonHeight));
    res1.push_back(OpaquePicture(std::string(b.Name) + "_En", ButtonPicture(b, b.English), b.Width, kButtonHeight));
  }
}

namespace {

struct TRow {
  const char* Name;
  int Score;
};

// The screen as HighscoresTick leaves it: `hovered` is the lit button (1..3);
// without `rows` nothing is printed.
void ComposeHighscores(TScreenPage& page, const TImageItems& res1, const TRow* rows, int hovered) {
  page.Draw(res1, "MMBG", 0, 0, 0);
  page.Draw(res1, "HSCaption", 0, kCaptionX, kCaptionY);
  page.Draw(res1, "HSTable", 0, kTableX, kTableY);
  for (int i = 0; i < 3; ++i)
    page.Draw(res1, kButtons[i].Name, hovered == i + 1 ? 0 : 1, kButtons[i].X, kButtons[i].Y);
  for (int i = 0; rows && i < 10; ++i) {
    page.Text(2, rows[i].Name, kNameX, 256 + kRowPitch * i, true, true);
    page.Text(17, std::to_string(rows[i].Score), kScoreX, 252 + kRowPitch * i, true, true);
  }
}

}  // namespace

void WriteHighscoresPreviews(const TImageItems& res1, const TImageItems&, const std::string& dir) {
  const std::string out = dir + "/screens";
  std::filesystem::create_directories(out);
  TRow defaults[10];
  for (int i = 0; i < 10; ++i) defaults[i] = {"Ваня", (10 - i) * 500};
  const TRow full[10] = {{"Шумахер", 9876540}, {"ЖЖЖЖЖЖЖЖЖЖЖЖ", 1254300}, {"Максимилиан", 870210},
                         {"Вольт", 65530},     {"Ваня", 5000},           {"Пётр Ш.", 4500},
                         {"Racer_99", 4000},    {"Щукин", 3500},         {"Юля", 1210},
                         {"", 501}};
  TScreenPage page;
  ComposeHighscores(page, res1, defaults, 3);
  page.Save(out + "/highscores.png");
  ComposeHighscores(page, res1, full, 2);
  page.Save(out + "/highscores_full_table.png");
  // While the question is open the screen's tick does not run, so the
  // table's texts are not printed under it.
  ComposeHighscores(page, res1, nullptr, 1);
  page.Draw(res1, "Window", 0, 188, 237);
  page.Draw(res1, "Win_ClearHS", 0, 268, 237);
  page.Draw(res1, "Yes", 1, 237, 296);
  page.Draw(res1, "No", 0, 386, 296);
  page.Save(out + "/highscores_clear_question.png");
}
