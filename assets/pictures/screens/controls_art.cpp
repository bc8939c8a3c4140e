// The controls screen. The board stands in the middle of the page under the
// title, smoked glass in the steel frame of the other screens' boards; the
// game prints three columns on it (action, keyboard, gamepad) over a band
// for each of the nine rows, 25 pixels apart, and a line for its messages
// under them. A chosen row is lit by a warm band the game lays over it half
// transparent.
#include "assets/pictures/screens/controls_art.h"

#include <filesystem>

#include "assets/paint/paint.h"
#include "assets/pictures/screens/menu_art.h"
#include "assets/pictures/screens/screen_art.h"

using namespace paint;
using namespace screen_art;

namespace {

// Where the game puts the board and prints on it (screen coordinates).
constexpr int kTableX = 28, kTableY = 192, kTableWidth = 736, kTableHeight = 314;
constexpr int kRowX = 40, kRowTop = 232, kRowPitch = 25, kRowWidth = 712, kRowHeight = 24;
constexpr int kRows = 9;
constexpr double kHeadY = 214;
constexpr double kColumnSplits[2] = {304, 534};
constexpr double kBorder = 10;

constexpr int kDefaultX = 60, kButtonY = 513, kDefaultWidth = 270, kButtonHeight = 56;

TSurface TablePicture() {
  TCanvas screen(792, 592);
  CopyCrop(MenuBackground(), 0, 0, screen);
  // The scene behind the board, frosted and smoked, shows through it.
  TCanvas glass(792, 592);
  PaintFrostedScene(MenuBackground(), glass, kTableX, kTableY, kTableWidth, kTableHeight,
                    {{0, 0x0a0e1a, 0.72}, {0.5, 0x070a12, 0.78}, {1, 0x05070c, 0.84}});
  const TSteelPanel board{.Width = kTableWidth - 8, .Height = kTableHeight - 8, .Border = kBorder, .Chamfer = 5,
                          .PoolY = 14, .Seed = 0x4B455953};  // "KEYS"
  PaintBlurred(screen, 3.5, 4, 5, 0.55, [&](cairo_t* p) {
    SetSource(p, 0x000000);
    cairo_rectangle(p, kTableX, kTableY, board.Width, board.Height);
    cairo_fill(p);
  });
  PaintSteelPanel(screen, board, kTableX, kTableY, &glass);

  cairo_t* cr = screen.Cr();
  const double inL = kTableX + kBorder + 4, inR = kTableX + board.Width - kBorder - 4;
  // A rule under the column heads the game prints.
  cairo_pattern_t* rule = LinearGradient(inL, 0, inR, 0,
                                         {{0, 0x9ab4e8, 0}, {0.12, 0x9ab4e8, 0.4}, {0.88, 0x9ab4e8, 0.4}, {1, 0x9ab4e8, 0}});
  cairo_set_source(cr, rule);
  cairo_rectangle(cr, inL, kHeadY + 15, inR - inL, 1);
  cairo_fill(cr);
  cairo_pattern_destroy(rule);
  for (int i = 0; i < kRows; ++i) {
    const double top = kRowTop + kRowPitch * i, bottom = top + kRowHeight - 2;
    const double shade = i % 2 ? 0.40 : 0.28;
    cairo_pattern_t* band = LinearGradient(kRowX, 0, kRowX + kRowWidth, 0,
                                           {{0, 0x02030a, shade + 0.1}, {0.5, 0x04060e, shade}, {1, 0x02030a, shade + 0.12}});
    cairo_set_source(cr, band);
    RoundedRect(cr, kRowX, top, kRowX + kRowWidth, bottom, 4);
    cairo_fill(cr);
    cairo_pattern_destroy(band);
    SetSource(cr, 0x000000, 0.45);
    cairo_rectangle(cr, kRowX + 3, top, kRowWidth - 6, 1);
    cairo_fill(cr);
    SetSource(cr, 0x9ab4e8, 0.18);
    cairo_rectangle(cr, kRowX + 3, bottom - 1, kRowWidth - 6, 1);
    cairo_fill(cr);
    // Grooves between the columns.
    for (double x : kColumnSplits) {
      SetSource(cr, 0x000000, 0.55);
      cairo_rectangle(cr, x - 1, top + 4, 1, bottom - top - 8);
      cairo_fill(cr);
      SetSource(cr, 0x9ab4e8, 0.16);
      cairo_rectangle(cr, x, top + 4, 1, bottom - top - 8);
      cairo_fill(cr);
    }
  }
  TCanvas pic(kTableWidth, kTableHeight);
  CopyCrop(screen, kTableX, kTableY, pic);
  return ToOpaqueSurface(pic);
}

// The chosen row's light: warm in the middle, fading out at both ends and
// to the edges, on the key everywhere it would add nothing.
TSurface RowLightPicture() {
  TCanvas pic(kRowWidth, kRowHeight);
  cairo_t* cr = pic.Cr();
  SetSource(cr, kKey);
  cairo_paint(cr);
  cairo_pattern_t* across = LinearGradient(0, 0, kRowWidth, 0,
                                           {{0, 0x5a1c04}, {0.08, 0xc04a10}, {0.5, 0xff8a2a}, {0.92, 0xc04a10}, {1, 0x5a1c04}});
  cairo_set_source(cr, across);
  RoundedRect(cr, 1, 1, kRowWidth - 1, kRowHeight - 2, 5);
  cairo_fill(cr);
  cairo_pattern_destroy(across);
  cairo_pattern_t* down = LinearGradient(0, 1, 0, kRowHeight - 2,
                                         {{0, 0xffe0b0, 0.55}, {0.2, 0xffe0b0, 0}, {0.8, 0x000000, 0}, {1, 0x000000, 0.35}});
  cairo_set_source(cr, down);
  RoundedRect(cr, 1, 1, kRowWidth - 1, kRowHeight - 2, 5);
  cairo_fill(cr);
  cairo_pattern_destroy(down);
  return ToOpaqueSurface(pic);
}

TSurface DefaultButtonPicture(const char* caption) {
  const TSurface looks[2] = {
      MenuButtonPicture(kDefaultX, kButtonY, kDefaultWidth, kButtonHeight, caption, TCaptionLook::Hovered, 30),
      MenuButtonPicture(kDefaultX, kButtonY, kDefaultWidth, kButtonHeight, caption, TCaptionLook::Normal, 30)};
  return SideBySide(looks, 2);
}

}  // namespace

void AddControlsArt(TImageItems& res1) {
  res1.push_back(OpaquePicture("CtlTable", TablePicture()));
  res1.push_back(KeyedPicture("CtlRow", RowLightPicture(), kKey));
  res1.push_back(OpaquePicture("Ctl_Default", DefaultButtonPicture("По умолчанию"), kDefaultWidth, kButtonHeight));
  res1.push_back(OpaquePicture("Ctl_Default_En", DefaultButtonPicture("Defaults"), kDefaultWidth, kButtonHeight));
}

void WriteControlsPreviews(const TImageItems& res1, const TImageItems&, const std::string& dir) {
  const std::string out = dir + "/screens";
  std::filesystem::create_directories(out);
  TScreenPage page;
  page.Draw(res1, "MMBG", 0, 0, 0);
  page.Draw(res1, "CtlTable", 0, kTableX, kTableY);
  page.Draw(res1, "Ctl_Default", 1, kDefaultX, kButtonY);
  page.Draw(res1, "Opt_Bk", 0, 345, kButtonY);
  page.Text(15, "КЛАВИШИ", 563, 148, true, true);
  page.Save(out + "/controls.png");
}
