#pragma once
// Pieces shared by the highscores screen, the help screen, the name entry
// window and the pickups: the steel-framed dark panel of the windows at any
// size, small path helpers, and the composing of a whole screen through the
// game's own drawing and text code for the previews.
#include <cstdint>
#include <string>

#include "assets/catalog.h"
#include "assets/paint/paint.h"

namespace screen_art {

// Pixels of this colour are not drawn; no picture of these screens uses it.
constexpr uint32_t kKey = 0xFF00FF;

// A rectangle in picture coordinates.
struct TBox {
  double L, T, R, B;
};

// A panel in a bevelled, brushed steel border with cut corners, lit from
// the top left, the way the question windows are framed.
struct TSteelPanel {
  int Width = 0, Height = 0;
  double Border = 10;
  double Chamfer = 5;
  // Height of the bottom bar when it is narrower than the others (a board
  // that must close above the screen's lower edge); 0 keeps it `Border`.
  double BottomBorder = 0;
  // Centre line of the faint pool of light inside, from the top edge.
  double PoolY = 24;
  // How strongly that pool lights the dark panel; 0 leaves it out.
  double PoolLight = 0.35;
  // Each frame has its own brushing and grain.
  uint32_t Seed = 0x5354454C;  // "STEL"
  // Two soft reflections run across the steel along the lines
  // x * 0.55 + y = GlintAt, GlintWidth wide; with the widths left at 0 they
  // are placed by the panel's size.
  double Glint1At = 0, Glint1Width = 0;
  double Glint2At = 0, Glint2Width = 0;
  // The steel darkens downwards over this many pixels; 0 scales it with the
  // panel's height.
  double ShadeHeight = 0;
  // Distance of the screws from the outer edges; 0 puts them on the middle
  // of the steel.
  double ScrewInset = 0;
  // Windows keyed at their cut corners want a hard outline; boards laid over
  // a picture want it antialiased.
  bool SoftOutline = true;
  // A well sunk into the panel (the pit a picture sits in), in panel
  // coordinates: its top and left walls in shade, a lit lip at the bottom
  // and right.
  bool HasWell = false;
  TBox Well{0, 0, 0, 0};
};

// Paints the panel over `canvas` at (left, top); outside its outline the
// canvas is left as it is. `glass`, when given, is what shows through the
// panel (the same size as `canvas`) instead of the dark gradient.
void PaintSteelPanel(const paint::TCanvas& canvas, const TSteelPanel& panel, int left, int top,
                     const paint::TCanvas* glass = nullptr);

// A steel screw head with its slot turned `slotAngle` radians, centred on
// (x, y), with its shadow.
void PaintScrew(cairo_t* cr, double x, double y, double slotAngle);

// Path helpers; each starts a new sub-path.
void RoundedRect(cairo_t* cr, double l, double t, double r, double b, double radius);
void Disc(cairo_t* cr, double cx, double cy, double r);

// A recessed box on a panel: steel rim, dark field, shade under the top
// edge. The field is returned as its inner rectangle.
TBox PaintInsetBox(const paint::TCanvas& canvas, TBox outer, double radius, double rim);

// A raised key standing on a panel: its drop shadow, a warm glow round it
// when hovered, a steel rim (warm when hovered) with corners rounded 6 and
// a dark face inset 2 pixels (warm dark when hovered). The shadow and glow
// sizes are the key's own; the face's box is returned, corners rounded 4.5.
struct TKeyShade {
  double ShadowBlur, ShadowDX, ShadowDY, ShadowOpacity;
  double GlowBlur, GlowOpacity;
};
TBox PaintRaisedKey(const paint::TCanvas& canvas, TBox key, bool hovered, const TKeyShade& shade);

// A line of text in the display face over a soft dark halo with a thin dark
// outline, filled top to bottom from `topRgb` to `bottomRgb`. The ink is
// centred on cy by the capital height; `anchor` 0 puts its left edge on x,
// 0.5 centres it there, 1 puts its right edge there.
void PaintLabel(const paint::TCanvas& canvas, const std::string& utf8, const paint::TFontFace& face, double x,
                double cy, uint32_t topRgb, uint32_t bottomRgb, double anchor = 0.5);

// A crop of `from` at (x, y) the size of `to`, whose parts beyond the edges
// of `from` repeat its edge pixels (for blurring a crop without dark rims).
void CropPadded(const paint::TCanvas& from, int x, int y, const paint::TCanvas& to);

// What shows through a glass board at (x, y), width by height: the scene
// behind it blurred and smoked by the gradient Smoke (top to bottom),
// painted onto Glass in the scene's own coordinates.
void PaintFrostedScene(const paint::TCanvas& scene, const paint::TCanvas& glass, int x, int y, int width, int height,
                       std::initializer_list<paint::TStop> smoke);

// Pattern sheets: `count` looks of one size side by side, pattern 0 first.
TSurface SideBySide(const TSurface* looks, int count);

// ---- Previews ---------------------------------------------------------------

// A stand-in for the race under a window in the previews: four lanes of
// asphalt between sidewalks and grass, and the dark panel on the right.
void PaintRaceStandIn(const paint::TCanvas& canvas);

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
