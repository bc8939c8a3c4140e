#pragma once
// Pieces shared by the highscores screen, the help screen, the name entry
// window and the pickups: the steel-framed dark panel of the windows at any
// size, small path helpers, and the composing of a whole screen through the
// game's own drawing and text code for the previews.
#include <cstdint>
#include <string>

#include "catalog.h"
#include "paint.h"

namespace screen_art {

// Pixels of this colour are not drawn; no picture of these screens uses it.
constexpr uint32_t kKey = 0xFF00FF;

// A panel in a bevelled, brushed steel border with cut corners, lit from
// the top left, the way the question windows are framed. With `OpenBottom`
// the sides run on past the bottom edge of the picture (a board standing on
// the bottom of the screen), so there is no bottom bar and no lower corners.
struct TSteelPanel {
  int Width = 0, Height = 0;
  double Border = 10;
  double Chamfer = 5;
  bool OpenBottom = false;
  // Centre line of the faint pool of light inside, from the top edge.
  double PoolY = 24;
};

// Paints the panel over `canvas` at (left, top); outside its outline the
// canvas is left as it is. `glass`, when given, is what shows through the
// panel (the same size as `canvas`) instead of the dark gradient.
void PaintSteelPanel(const paint::TCanvas& canvas, const TSteelPanel& panel, int left, int top,
                     const paint::TCanvas* glass = nullptr);

// Path helpers; each starts a new sub-path.
void RoundedRect(cairo_t* cr, double l, double t, double r, double b, double radius);
void Disc(cairo_t* cr, double cx, double cy, double r);

// A recessed box on a panel: steel rim, dark field, shade under the top
// edge. The field is returned as its inner rectangle.
struct TBox {
  double L, T, R, B;
};
TBox PaintInsetBox(const paint::TCanvas& canvas, TBox outer, double radius, double rim);

// A line of text in the display face over a soft dark halo with a thin dark
// outline, filled top to bottom from `topRgb` to `bottomRgb`. The ink is
// centred on cy by the capital height; `anchor` 0 puts its left edge on x,
// 0.5 centres it there, 1 puts its right edge there.
void PaintLabel(const paint::TCanvas& canvas, const std::string& utf8, const paint::TFontFace& face, double x,
                double cy, uint32_t topRgb, uint32_t bottomRgb, double anchor = 0.5);

// A crop of `from` at (x, y) the size of `to`, whose parts beyond the edges
// of `from` repeat its edge pixels (for blurring a crop without dark rims).
void CropPadded(const paint::TCanvas& from, int x, int y, const paint::TCanvas& to);

// Pattern sheets: `count` looks of one size side by side, pattern 0 first.
TSurface SideBySide(const TSurface* looks, int count);

// ---- Previews ---------------------------------------------------------------

// A screen composed by the game's own code: items drawn with the lists'
// Draw, texts printed by the text canvas on the back surface. Owns the back
// surface while it lives.
class TScreenPage {
 public:
  TScreenPage();
  void Draw(const TImageItems& items, const std::string& name, int pattern, int x, int y);
  // Draws the pattern centred on (cx, cy), as sprites placed by their centre.
  void DrawCentred(const TImageItems& items, const std::string& name, int cx, int cy);
  // `utf8` is printed as the game prints its 1251 strings.
  void Text(int style, const std::string& utf8, double x, double y, bool centreH, bool centreV);
  void Save(const std::string& path) const;
};

}  // namespace screen_art
