#pragma once
// What the text canvas needs of a font engine: a face opened by the name the
// game gives it, and one glyph at a time as an 8-bit coverage bitmap. The
// machine's engine sits behind this (platform/font_ttf.cpp); nothing here
// knows about it.
//
// Face names are the game's ("DS Crystal", "Beast Impacted", "Courier"). A
// name is resolved, in this order, through Data/Fonts/fonts.txt beside the
// program (lines "Face name=file name", files in the same folder), then the
// system's fonts: that family itself if installed, else a face of the same
// role, else "DejaVu Sans".
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One glyph as it is pasted on a text line. Coverage is Width x Height bytes,
// row by row, 0 = untouched .. 255 = fully the text colour; the box is tight
// around the inked pixels (empty for a space).
struct TGlyphImage {
  int Left = 0;     // from the pen position to the first column
  int Top = 0;      // from the top of the line to the first row
  int Width = 0;
  int Height = 0;
  int Advance = 0;  // how far the pen moves on
  std::vector<uint8_t> Coverage;
};

class TFontRaster {
 public:
  virtual ~TFontRaster() = default;

  // Line metrics in pixels. LineHeight is Ascent + Descent, the height a
  // Windows canvas reports for a line of text.
  virtual int Ascent() const = 0;
  virtual int Descent() const = 0;
  virtual int LineHeight() const = 0;

  // The family actually opened and whether the face file itself is bold.
  virtual std::string Family() const = 0;
  virtual bool FaceIsBold() const = 0;

  // Renders one code point. A code point the face lacks gives its "missing"
  // box; false only when the engine could produce nothing at all.
  virtual bool Glyph(char32_t codePoint, TGlyphImage& out) = 0;
  // Pen adjustment between two neighbouring code points (usually 0).
  virtual int Kerning(char32_t left, char32_t right) = 0;
};

// Opens the face at a Windows point size (96 pixels per inch, so 12 points
// are 16 pixels of em). Bold asks for a bold look; a face file that is bold
// already is not emboldened again. Null when no font at all can be found.
std::unique_ptr<TFontRaster> OpenFontRaster(const std::string& faceName, int points, bool bold);

// Where a face name resolves to, for the tools that draw text into pictures
// with their own engine. Path is empty when nothing was found.
struct TFontFile {
  std::string Path;
  int Index = 0;  // face inside a collection file
  std::string Family;
};
TFontFile ResolveFontFile(const std::string& faceName);

// The folder holding fonts.txt and the game's own font files; empty means the
// default, Data/Fonts beside the program. Faces opened before keep theirs.
void SetFontDirectory(const std::string& dir);
