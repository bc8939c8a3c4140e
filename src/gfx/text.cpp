#include "gfx/text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "gfx/blit.h"
#include "gfx/cp1251.h"
#include "gfx/font_raster.h"
#include "gfx/surface.h"

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }

const TTextStyle Styles[TextStyleCount] = {
    {"DS Crystal", 32, false, Rgb(0xF4, 0x09, 0x09)},      // 1
    {"Beast Impacted", 16, false, Rgb(0xE6, 0xDA, 0xDA)},  // 2
    {"DS Crystal", 26, false, Rgb(0xF4, 0x09, 0x09)},      // 3
    {"Beast Impacted", 28, true, Rgb(0x00, 0x00, 0x00)},   // 4
    {"Beast Impacted", 36, false, Rgb(0xF4, 0x09, 0x09)},  // 5
    {"DS Crystal", 28, false, Rgb(0xFF, 0xFF, 0xFF)},      // 6
    {"DS Crystal", 20, false, Rgb(0xFF, 0xFF, 0xFF)},      // 7
    {"DS Crystal", 16, false, Rgb(0xFF, 0xFF, 0xFF)},      // 8
    {"Beast Impacted", 28, false, Rgb(0xFF, 0xFF, 0xFF)},  // 9
    {"Beast Impacted", 28, false, Rgb(0xFF, 0xFF, 0xFF)},  // 10
    {"Beast Impacted", 26, false, Rgb(0xFF, 0xFF, 0xFF)},  // 11
    {"Courier", 12, false, Rgb(0xFF, 0xD1, 0x37)},         // 12
    {"Beast Impacted", 27, false, Rgb(0xFF, 0xFF, 0xFF)},  // 13
    {"Beast Impacted", 27, false, Rgb(0xF4, 0x86, 0x1A)},  // 14
    {"Beast Impacted", 78, false, Rgb(0xFF, 0xFF, 0xFF)},  // 15
    {"Beast Impacted", 56, false, Rgb(0xFF, 0xFF, 0xFF)},  // 16
    {"Beast Impacted", 22, false, Rgb(0xE6, 0xDA, 0xDA)},  // 17
    {"DS Crystal", 22, false, Rgb(0x2A, 0xFF, 0x00)},      // 18
    {"Beast Impacted", 28, false, Rgb(0xFF, 0xFF, 0xFF)},  // 19
    {"Beast Impacted", 13, false, Rgb(0xFF, 0xFF, 0xFF)},  // 20
    {"Beast Impacted", 15, false, Rgb(0xFF, 0xFF, 0xFF)},  // 21
};

constexpr int8_t KernUnknown = INT8_MIN;

// One opened font (face, size, bold) with every 1251 byte it has printed.
// Styles that differ only in colour share a font.
struct TFontSlot {
  const char* Face = nullptr;
  int Size = 0;
  bool Bold = false;
  std::unique_ptr<TFontRaster> Raster;
  int LineHeight = 0;
  bool Have[256] = {};
  TGlyphImage Glyphs[256];
  char32_t CodePoints[256] = {};
  // Pair adjustments by (left byte, right byte), asked of the font once each;
  // made on the first pair printed, as some styles only ever print digits.
  std::vector<int8_t> Kern;

  const TGlyphImage& Glyph(unsigned char b) {
    if (!Have[b]) {
      Have[b] = true;
      if (!Raster->Glyph(CodePoints[b], Glyphs[b])) Glyphs[b] = TGlyphImage{};
    }
    return Glyphs[b];
  }

  int Kerning(unsigned char left, unsigned char right) {
    if (Kern.empty()) Kern.assign(256 * 256, KernUnknown);
    int8_t& k = Kern[static_cast<size_t>(left) * 256 + right];
    if (k == KernUnknown)
      k = static_cast<int8_t>(std::clamp(Raster->Kerning(CodePoints[left], CodePoints[right]), -127, 127));
    return k;
  }
};

std::vector<std::unique_ptr<TFontSlot>> Slots;
TFontSlot* StyleSlot[TextStyleCount + 1] = {};
bool StyleTried[TextStyleCount + 1] = {};

// A text too wide for its place is printed up to this many points smaller.
constexpr int MaxShrink = 10;
TFontSlot* ShrunkSlot[TextStyleCount + 1][MaxShrink + 1] = {};
bool ShrunkTried[TextStyleCount + 1][MaxShrink + 1] = {};
int Current = 1;

// The font of that face, size and boldness, shared by every style that
// names it; null when no font exists.
TFontSlot* OpenSlot(const char* face, int size, bool bold) {
  for (auto& slot : Slots)
    if (std::strcmp(slot->Face, face) == 0 && slot->Size == size && slot->Bold == bold) return slot.get();
  auto raster = OpenFontRaster(face, size, bold);
  if (!raster) return nullptr;
  auto slot = std::make_unique<TFontSlot>();
  slot->Face = face;
  slot->Size = size;
  slot->Bold = bold;
  slot->LineHeight = raster->LineHeight();
  slot->Raster = std::move(raster);
  for (int b = 0; b < 256; ++b) slot->CodePoints[b] = UnicodeOf1251(static_cast<unsigned char>(b));
  Slots.push_back(std::move(slot));
  return Slots.back().get();
}

// The style's font, opened on its first use; null when no font exists.
TFontSlot* SlotOf(int style) {
  if (style < 1 || style > TextStyleCount) return nullptr;
  if (StyleTried[style]) return StyleSlot[style];
  StyleTried[style] = true;
  const TTextStyle& s = Styles[style - 1];
  return StyleSlot[style] = OpenSlot(s.Face, s.Size, s.Bold);
}

// The style's face `shrink` points smaller, opened once.
TFontSlot* ShrunkSlotOf(int style, int shrink) {
  if (shrink == 0) return SlotOf(style);
  if (!ShrunkTried[style][shrink]) {
    ShrunkTried[style][shrink] = true;
    const TTextStyle& s = Styles[style - 1];
    if (s.Size - shrink >= 1) ShrunkSlot[style][shrink] = OpenSlot(s.Face, s.Size - shrink, s.Bold);
  }
  return ShrunkSlot[style][shrink];
}

int LineWidth(TFontSlot* slot, const std::string& text) {
  if (!slot) return 0;
  int width = 0;
  unsigned char prev = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (i > 0) width += slot->Kerning(prev, b);
    width += slot->Glyph(b).Advance;
    prev = b;
  }
  return width;
}

void PasteGlyph(TSurface& dest, int left, int top, const TGlyphImage& g, uint32_t colour) {
  const int x0 = std::max(left, 0), x1 = std::min(left + g.Width, dest.Width);
  const int y0 = std::max(top, 0), y1 = std::min(top + g.Height, dest.Height);
  for (int y = y0; y < y1; ++y) {
    const uint8_t* cov = g.Coverage.data() + static_cast<size_t>(y - top) * g.Width;
    uint32_t* d = dest.Row(y);
    for (int x = x0; x < x1; ++x) {
      const uint32_t c = cov[x - left];
      if (c == 255)
        d[x] = colour;
      else if (c)
        d[x] = BlendPixel(colour, d[x], c);
    }
  }
}

// Prints one line with its top-left corner at (x, y) in the slot's font,
// every glyph pasted at each of the offsets.
// With Ink given, the box the line's own glyphs cover (offsets aside) is
// widened to take them in.
void PrintLine(TFontSlot* slot, const std::string& text, double x, double y, uint32_t colour,
               const int (*offsets)[2], int offsetCount, TDrawnText* ink = nullptr) {
  // Trunc, kept inside the int range for texts thrown far off the screen.
  int pen = static_cast<int>(std::clamp(x, -1e9, 1e9));
  const int top = static_cast<int>(std::clamp(y, -1e9, 1e9));
  unsigned char prev = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (i > 0) pen += slot->Kerning(prev, b);
    const TGlyphImage& g = slot->Glyph(b);
    if (g.Width > 0) {
      for (int k = 0; k < offsetCount; ++k)
        PasteGlyph(BackSurface, pen + g.Left + offsets[k][0], top + g.Top + offsets[k][1], g, colour);
      if (ink) {
        ink->Left = std::min(ink->Left, pen + g.Left);
        ink->Top = std::min(ink->Top, top + g.Top);
        ink->Right = std::max(ink->Right, pen + g.Left + g.Width);
        ink->Bottom = std::max(ink->Bottom, top + g.Top + g.Height);
      }
    }
    pen += g.Advance;
    prev = b;
  }
}

constexpr int NoOffset[1][2] = {{0, 0}};

// Every step within two pixels: the glyph pasted at each of them in the rim
// colour leaves a rim two pixels wide and round at the corners.
constexpr int RimOffsets[][2] = {{-1, -2}, {0, -2}, {1, -2}, {-2, -1}, {-1, -1}, {0, -1}, {1, -1},
                                 {2, -1},  {-2, 0}, {-1, 0}, {1, 0},   {2, 0},   {-2, 1}, {-1, 1},
                                 {0, 1},   {1, 1},  {2, 1},  {-1, 2},  {0, 2},   {1, 2}};
constexpr uint32_t RimColour = 0x0c0304;

void DrawLine(TFontSlot* slot, const std::string& text, double x, double y, bool centreH, bool centreV,
              bool rimmed) {
  if (!slot) return;
  if (centreH) x -= LineWidth(slot, text) / 2.0;
  if (centreV) y -= slot->LineHeight / 2.0;
  if (rimmed) PrintLine(slot, text, x, y, RimColour, RimOffsets, std::size(RimOffsets));
  if (!DrawnTexts) return PrintLine(slot, text, x, y, Styles[Current - 1].Colour, NoOffset, 1);
  TDrawnText ink{text, Current, INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  PrintLine(slot, text, x, y, Styles[Current - 1].Colour, NoOffset, 1, &ink);
  if (ink.Left <= ink.Right) DrawnTexts->push_back(ink);
}

}  // namespace

const TTextStyle& TextStyleOf(int style) { return Styles[std::clamp(style, 1, TextStyleCount) - 1]; }

int CurrentTextStyle() { return Current; }

std::string TextStyleFamily(int style) {
  TFontSlot* slot = SlotOf(style);
  return slot ? slot->Raster->Family() : std::string();
}

void SetTextStyle(int style) {
  if (style >= 1 && style <= TextStyleCount) Current = style;
}

int TextWidth(const std::string& text, int style) {
  SetTextStyle(style);
  return TextW(text);
}

int TextW(const std::string& text) { return LineWidth(SlotOf(Current), text); }

int TextH(const std::string&) {
  TFontSlot* slot = SlotOf(Current);
  return slot ? slot->LineHeight : 0;
}

std::vector<TDrawnText>* DrawnTexts = nullptr;

void DrawText(const std::string& text, double x, double y, bool centreH, bool centreV) {
  DrawLine(SlotOf(Current), text, x, y, centreH, centreV, false);
}

void DrawTextRimmed(const std::string& text, double x, double y, bool centreH, bool centreV) {
  DrawLine(SlotOf(Current), text, x, y, centreH, centreV, true);
}

void DrawTextWithin(const std::string& text, double x, double y, int maxWidth) {
  TFontSlot* fitting = SlotOf(Current);
  for (int shrink = 1; shrink <= MaxShrink && fitting && LineWidth(fitting, text) > maxWidth; ++shrink)
    if (TFontSlot* smaller = ShrunkSlotOf(Current, shrink)) fitting = smaller;
  DrawLine(fitting, text, x, y, true, true, false);
}

void PrepareTextStyles() {
  for (int style = 1; style <= TextStyleCount; ++style) SlotOf(style);
}

bool PrepareNextTextStyle() {
  for (int style = 1; style <= TextStyleCount; ++style)
    if (!StyleTried[style]) {
      SlotOf(style);
      return true;
    }
  return false;
}

void ResetTextCache() {
  Slots.clear();
  std::fill(std::begin(StyleSlot), std::end(StyleSlot), nullptr);
  std::fill(std::begin(StyleTried), std::end(StyleTried), false);
  std::fill(&ShrunkSlot[0][0], &ShrunkSlot[0][0] + std::size(ShrunkSlot) * (MaxShrink + 1), nullptr);
  std::fill(&ShrunkTried[0][0], &ShrunkTried[0][0] + std::size(ShrunkTried) * (MaxShrink + 1), false);
}
