#pragma once
// Drawing helpers shared by every picture the generator paints: a Cairo
// canvas, deterministic noise, grain, blurred layers for shadows and glows,
// the game's font faces, and the conversion of a finished canvas into the
// 0x00RRGGBB bitmaps the image lists hold.
#include <cairo.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "gfx/surface.h"

namespace paint {

// An ARGB32 Cairo image surface with its context; owns both.
class TCanvas {
 public:
  TCanvas(int width, int height);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  cairo_t* Cr() const { return Context; }
  cairo_surface_t* Surface() const { return Image; }
  int Width() const { return W; }
  int Height() const { return H; }
  // Premultiplied 0xAARRGGBB rows; call Flush() before touching them and
  // MarkDirty() after, so Cairo and direct pixel work do not overlap.
  uint32_t* Row(int y) const;
  void Flush() const;
  void MarkDirty() const;

 private:
  int W, H;
  cairo_surface_t* Image;
  cairo_t* Context;
};

// ---- Deterministic noise -------------------------------------------------

uint32_t Hash2(int x, int y, uint32_t seed);
// A value in [0, 1) per lattice point.
double HashUnit(int x, int y, uint32_t seed);

// Smooth value noise in [0, 1] with a fixed seed, so every build draws the
// same pictures.
class TValueNoise {
 public:
  explicit TValueNoise(uint32_t seed) : Seed(seed) {}
  double At(double x, double y) const;
  // Octaves of At() summed and renormalised to [0, 1].
  double Fbm(double x, double y, int octaves, double lacunarity = 2.0, double gain = 0.5) const;

 private:
  uint32_t Seed;
};

// Small generator for placing things (stars, windows, trails); never the
// standard distributions, whose results differ between library versions.
class TRng {
 public:
  explicit TRng(uint32_t seed) : State(seed * 2654435761u + 0x9E3779B9u) {}
  uint32_t Next();
  double Unit();                          // [0, 1)
  double Range(double lo, double hi);     // [lo, hi)
  int Int(int lo, int hi);                // lo .. hi inclusive

 private:
  uint32_t State;
};

// ---- Colours and gradients ----------------------------------------------

void SetSource(cairo_t* cr, uint32_t rgb, double alpha = 1.0);

struct TStop {
  double Offset;
  uint32_t Rgb;
  double Alpha = 1.0;
};
void AddStops(cairo_pattern_t* pattern, std::initializer_list<TStop> stops);
// A pattern the caller must destroy.
cairo_pattern_t* LinearGradient(double x0, double y0, double x1, double y1, std::initializer_list<TStop> stops);
cairo_pattern_t* RadialGradient(double cx, double cy, double r0, double r1, std::initializer_list<TStop> stops);

// ---- Pixel passes --------------------------------------------------------

// Adds luminance grain of about `strength` (0.03 = 3 %) of full scale: fine
// per-pixel noise mixed with a softer 3-pixel mottle.
void AddGrain(const TCanvas& canvas, double strength, uint32_t seed);

// Three box passes approximating a Gaussian of the given radius, on all four
// premultiplied channels.
void Blur(cairo_surface_t* surface, double radius);

// Draws what `draw` paints into a transparent layer the size of the target,
// blurs it and composites it at (dx, dy) with `opacity`. Shadows and glows.
// `draw` works in the target's device coordinates.
void PaintBlurred(const TCanvas& target, double radius, double dx, double dy, double opacity,
                  const std::function<void(cairo_t*)>& draw, cairo_operator_t op = CAIRO_OPERATOR_OVER);

// ---- Text ----------------------------------------------------------------

// The game's faces as drawn into pictures. The display face ("Beast
// Impacted") falls back to PT Sans Narrow Bold, which has Cyrillic.
struct TFontFace {
  const char* Family;
  double Size;          // pixels (em size)
  bool Bold = false;
  double Slant = 0.0;   // horizontal shear; negative leans the glyphs right
  double Width = 1.0;   // horizontal scale; below 1 condenses the face
};
TFontFace DisplayFace(double size, double slant = 0.0, double width = 1.0);
// Cairo quietly substitutes another face for a missing one, which would
// change every caption; this throws std::runtime_error instead, naming the
// face that is not installed.
void RequireFaces();
void SelectFont(cairo_t* cr, const TFontFace& font);

// Ink box of a UTF-8 text in the selected font.
struct TInk {
  double X, Y, Width, Height, Advance;
};
TInk MeasureInk(cairo_t* cr, const std::string& utf8);
// Adds the text's outline to the path with its ink box centred on (cx, cy).
void CentredTextPath(cairo_t* cr, const std::string& utf8, double cx, double cy);

// ---- Conversion ----------------------------------------------------------

// An opaque picture: alpha is ignored (the canvas is expected to be opaque).
TSurface ToOpaqueSurface(const TCanvas& canvas);
// A colour-keyed picture: pixels under half coverage become `keyRgb`; the
// rest are un-premultiplied, and any that happen to equal the key are nudged
// by one step of blue so they stay visible.
TSurface ToKeyedSurface(const TCanvas& canvas, uint32_t keyRgb);
// Copies a bitmap (a crop at (x, y) of it, `width` x `height`) onto a canvas
// at (dx, dy) as opaque pixels; used to compose pictures over the menu
// background and for preview sheets.
void BlitSurface(const TCanvas& canvas, const TSurface& source, int dx, int dy);
void BlitSurfaceAlpha(const TCanvas& canvas, const TSurface& source, int dx, int dy, double alpha);
void CopyCrop(const TCanvas& from, int x, int y, const TCanvas& to);
// Eases `painted` back into `base` (same size) over the outer `border`
// pixels, so a glow that reaches the edge of a picture ends without a seam
// where the picture sits over that base.
void FadeEdgesInto(const TCanvas& painted, const TCanvas& base, double border);

void WritePng(const TCanvas& canvas, const std::string& path);  // throws std::runtime_error

}  // namespace paint
