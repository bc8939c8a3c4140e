#pragma once
// Text styles 1..21 and the back surface's text canvas. Game strings are
// Windows-1251 bytes; they become UTF-8 only inside the font layer.
#include <cstdint>
#include <string>
#include <vector>

// One row of the style table: the face the game names, its size in points,
// the bold flag and the colour as 0x00RRGGBB.
struct TTextStyle {
  const char* Face;
  int Size;
  bool Bold;
  uint32_t Colour;
};
constexpr int TextStyleCount = 21;

// Row 1..TextStyleCount of the table.
const TTextStyle& TextStyleOf(int style);
// The style SetTextStyle last chose.
int CurrentTextStyle();
// The family the font layer opened for a style (a stand-in when the named
// face is not installed); empty when no font could be opened.
std::string TextStyleFamily(int style);

void SetTextStyle(int style);
int TextWidth(const std::string& text, int style);
int TextW(const std::string& text);
int TextH(const std::string& text);
void DrawText(const std::string& text, double x, double y, bool centreH, bool centreV);
// DrawText with a dark rim two pixels wide round every glyph, for the race's
// messages, which are printed straight over the town and the cars.
void DrawTextRimmed(const std::string& text, double x, double y, bool centreH, bool centreV);
// DrawText centred both ways on (x, y), in the style that is set while the
// text is at most `maxWidth` pixels wide, else in the same face as many
// points smaller as it takes to fit (up to ten), for the panel's windows.
void DrawTextWithin(const std::string& text, double x, double y, int maxWidth);

// Test seam: while set, every DrawText that puts ink on the surface adds
// the text, its style and the box its ink covers (right and bottom
// exclusive), so a test can tell a text that runs past its place.
struct TDrawnText {
  std::string Text;
  int Style;
  int Left, Top, Right, Bottom;
};
extern std::vector<TDrawnText>* DrawnTexts;

// Opens the fonts of every style now, so that the first tick printing a style
// does not stall on it; nothing depends on it.
void PrepareTextStyles();
// Opens the font of the first style not yet opened; false when every style
// has been tried.
bool PrepareNextTextStyle();
// Drops cached glyphs; the next text call opens the fonts again.
void ResetTextCache();
