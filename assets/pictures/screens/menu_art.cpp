// The main menu's six picture buttons, each in three looks, cut from the
// menu background with their captions painted on.
#include "assets/pictures/screens/menu_art.h"

#include <numbers>
#include <stdexcept>
#include <string>

#include "assets/catalog.h"

using namespace paint;

namespace {

constexpr double kCaptionSlant = -0.1;
// Condensed so the longest captions keep a margin in their hit boxes.
constexpr double kCaptionWidth = 0.86;

// Top-left corners are where the main menu puts its buttons; the widths keep
// items 1, 2, 3 and 6 centred on the page and mirror items 4 and 5 about
// its middle, so each hit box sits evenly around its caption.
// Each caption in Russian and, for the "_En" twins, in English.
struct TMainMenuButton {
  int Item;
  const char* Caption;
  int X, Y, Width;
  const char* English;
};
constexpr int kButtonHeight = 56;
constexpr TMainMenuButton kButtons[] = {
    {1, "НОВАЯ ИГРА", 284, 27, 224, "NEW GAME"}, {2, "РЕКОРДЫ", 323, 133, 146, "SCORES"},
    {3, "ДРУГИЕ ИГРЫ", 229, 239, 334, "MORE GAMES"}, {4, "ОПЦИИ", 56, 342, 224, "OPTIONS"},
    {5, "ПОМОЩЬ", 512, 342, 224, "HELP"}, {6, "ВЫХОД", 282, 498, 228, "QUIT"},
};

struct TLookName {
  TCaptionLook Look;
  const char* Suffix;
};
constexpr TLookName kLooks[] = {
    {TCaptionLook::Normal, "0"}, {TCaptionLook::Hovered, "A"}, {TCaptionLook::Intro, "I"}};

std::string ButtonName(int item, const char* suffix) {
  return "MM_" + std::to_string(item) + "_" + suffix;
}

}  // namespace

void PaintMenuCaption(const TCanvas& canvas, const std::string& utf8, double cx, double cy, TCaptionLook look,
                      double size, double streakWidth) {
  cairo_t* cr = canvas.Cr();
  SelectFont(cr, DisplayFace(size, kCaptionSlant, kCaptionWidth));
  // Centre on the capital height, so captions with descenders (Д, Щ) sit on
  // the same line as the others.
  const double cap = -MeasureInk(cr, "Н").Y;
  const TInk ink = MeasureInk(cr, utf8);
  const double left = cx - (ink.X + ink.Width / 2), baseline = cy + cap / 2;
  const double top = baseline - cap;
  auto path = [&](cairo_t* p) {
    SelectFont(p, DisplayFace(size, kCaptionSlant, kCaptionWidth));
    cairo_move_to(p, left, baseline);
    cairo_text_path(p, utf8.c_str());
  };

  if (look == TCaptionLook::Hovered && streakWidth > 0) {
    // A soft band of light across the button, brightest behind the caption.
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, streakWidth / 2, size * 0.55);
    cairo_pattern_t* band = RadialGradient(0, 0, 0, 1, {{0, 0xff8a2a, 0.34}, {0.5, 0xc04a10, 0.14}, {1, 0x601800, 0}});
    cairo_set_source(cr, band);
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_fill(cr);
    cairo_pattern_destroy(band);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_pattern_t* flare = LinearGradient(cx - streakWidth / 2, 0, cx + streakWidth / 2, 0,
                                            {{0, 0xffb060, 0}, {0.5, 0xffd8a0, 0.75}, {1, 0xffb060, 0}});
    cairo_set_source(cr, flare);
    cairo_rectangle(cr, cx - streakWidth / 2, baseline + 3, streakWidth, 1.5);
    cairo_fill(cr);
    cairo_pattern_destroy(flare);
    cairo_restore(cr);
  }

  // A soft dark halo keeps the caption readable over the road's lights.
  PaintBlurred(canvas, 3.0, 2.0, 3.0, 0.9, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    path(p);
    cairo_set_line_width(p, 3);
    cairo_stroke_preserve(p);
    cairo_fill(p);
  });

  if (look == TCaptionLook::Hovered) {
    PaintBlurred(canvas, 4.5, 0, 0, 1.0, [&](cairo_t* p) {
      SetSource(p, 0xff6a10);
      path(p);
      cairo_set_line_width(p, 3);
      cairo_stroke_preserve(p);
      cairo_fill(p);
    }, CAIRO_OPERATOR_ADD);
  } else if (look == TCaptionLook::Intro) {
    PaintBlurred(canvas, 4.0, 0, 0, 0.55, [&](cairo_t* p) {
      SetSource(p, 0x3a8aff);
      path(p);
      cairo_set_line_width(p, 3);
      cairo_stroke(p);
    }, CAIRO_OPERATOR_ADD);
  }

  SetSource(cr, 0x0a0a14, 0.9);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 2.5);
  path(cr);
  cairo_stroke(cr);

  cairo_pattern_t* fill = nullptr;
  switch (look) {
    case TCaptionLook::Normal:
      fill = LinearGradient(0, top, 0, baseline,
                            {{0, 0xffffff}, {0.5, 0xefe6e6}, {0.55, 0xd8cccc}, {1, 0xa89aa2}});
      break;
    case TCaptionLook::Hovered:
      fill = LinearGradient(0, top, 0, baseline,
                            {{0, 0xfffbe0}, {0.45, 0xffd040}, {0.55, 0xff9a20}, {1, 0xff6a10}});
      break;
    case TCaptionLook::Intro:
      fill = LinearGradient(0, top, 0, baseline,
                            {{0, 0xffffff}, {0.42, 0xd4e2ff}, {0.5, 0x7a8ec0}, {0.54, 0x3a4a78}, {0.8, 0x90a8d8}, {1, 0xe4eeff}});
      break;
  }
  cairo_set_source(cr, fill);
  path(cr);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);

  if (look == TCaptionLook::Intro) {
    // The glint left behind by the fade-in: a bright diagonal band across
    // the letters.
    cairo_save(cr);
    path(cr);
    cairo_clip(cr);
    const double gx = left + ink.X + ink.Width * 0.28;
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_pattern_t* glint = LinearGradient(gx - 9, baseline, gx + 9, top,
                                            {{0, 0xffffff, 0}, {0.4, 0xe0f0ff, 0.9}, {0.6, 0xe0f0ff, 0.9}, {1, 0xffffff, 0}});
    cairo_set_source(cr, glint);
    cairo_paint(cr);
    cairo_pattern_destroy(glint);
    cairo_restore(cr);
  }
}

TSurface MenuButtonPicture(int x, int y, int width, int height, const std::string& utf8, TCaptionLook look,
                           double size) {
  TCanvas under(width, height), button(width, height);
  {
    // A caption wider than its button would be cut off at the picture's
    // edge: the generator stops instead.
    SelectFont(button.Cr(), DisplayFace(size, kCaptionSlant, kCaptionWidth));
    if (MeasureInk(button.Cr(), utf8).Width > width - 4)
      throw std::runtime_error("caption \"" + utf8 + "\" is wider than its button of " + std::to_string(width));
  }
  CopyCrop(MenuBackground(), x, y, under);
  CopyCrop(MenuBackground(), x, y, button);
  PaintMenuCaption(button, utf8, width / 2.0, height / 2.0, look, size, width);
  FadeEdgesInto(button, under, 6);
  return ToOpaqueSurface(button);
}

void AddMainMenuArt(TImageItems& res1) {
  res1.push_back(OpaquePicture("MMBG", ToOpaqueSurface(MenuBackground())));
  for (const TMainMenuButton& b : kButtons)
    for (const TLookName& look : kLooks)
      res1.push_back(OpaquePicture(ButtonName(b.Item, look.Suffix),
                                   MenuButtonPicture(b.X, b.Y, b.Width, kButtonHeight, b.Caption, look.Look)));
  // The English twins after all the Russian looks: the archive's order is
  // the order the start-up makes pictures ready in, and the first menu's
  // looks come first.
  for (const TMainMenuButton& b : kButtons)
    for (const TLookName& look : kLooks)
      res1.push_back(OpaquePicture(ButtonName(b.Item, look.Suffix) + "_En",
                                   MenuButtonPicture(b.X, b.Y, b.Width, kButtonHeight, b.English, look.Look)));
}

namespace {

// The main menu as the game shows it: the background with every button at
// its place, `hovered` (0 for none, -1 for all, to check every hover look at
// once) in its hover look.
void ComposeMainMenu(const TImageItems& res1, const TCanvas& page, int hovered, const char* normalSuffix) {
  BlitSurface(page, FindPicture(res1, "MMBG").Picture, 0, 0);
  for (const TMainMenuButton& b : kButtons) {
    const bool lit = b.Item == hovered || hovered < 0;
    const std::string name = ButtonName(b.Item, lit ? "A" : normalSuffix);
    BlitSurface(page, FindPicture(res1, name).Picture, b.X, b.Y);
  }
}

// What other menu screens print over the background: a screen title at the
// top right and lines of text at the left, to judge the room left for them.
void SketchScreenTexts(const TCanvas& page) {
  cairo_t* cr = page.Cr();
  SelectFont(cr, DisplayFace(78));
  SetSource(cr, 0xffffff);
  CentredTextPath(cr, "ПОМОЩЬ", 563, 148);
  cairo_fill(cr);
  SelectFont(cr, DisplayFace(28));
  cairo_move_to(cr, 25, 255);
  cairo_show_text(cr, "ОПИСАНИЕ ИГРЫ");
  SelectFont(cr, DisplayFace(14));
  const char* lines[] = {"  Перед тобой продолжение самой захватывающей игры-гонки всех времен",
                         "и народов! Вольтрейс 2 - это новые непредсказуемые трассы, опасные",
                         "соперники и сумасшедшие скорости. Повышенный адреналин в крови",
                         "гарантирован. Не сиди на месте, выбирай машину и стартуй! Главное - ",
                         "не попади в аварию и не вылети с трассы. Собирай бонусы, следи за",
                         "временем и не зевай на поворотах."};
  double y = 295;
  for (const char* line : lines) {
    cairo_move_to(cr, 25, y);
    cairo_show_text(cr, line);
    y += 24;
  }
}

}  // namespace

void WriteMainMenuPreviews(const TImageItems& res1, const TImageItems&, const std::string& dir) {
  TCanvas page(792, 592);
  ComposeMainMenu(res1, page, 0, "0");
  WritePng(page, dir + "/main_menu.png");
  ComposeMainMenu(res1, page, 1, "0");
  WritePng(page, dir + "/main_menu_hover1.png");
  ComposeMainMenu(res1, page, -1, "0");
  WritePng(page, dir + "/main_menu_every_hover_look.png");
  ComposeMainMenu(res1, page, 0, "I");
  WritePng(page, dir + "/main_menu_after_fade_in.png");
  BlitSurface(page, FindPicture(res1, "MMBG").Picture, 0, 0);
  SketchScreenTexts(page);
  WritePng(page, dir + "/menu_screen_room.png");
}
