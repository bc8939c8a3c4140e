#pragma once
// The title logo "ВОЛЬТРЕЙС 2" at any size: chrome letters in an electric
// blue glow reflecting the sunset, and a hot "2" with speed lines, all
// leaning forward. The menu background carries it large, the help's about
// page small, and the desktop icon takes its "2".
#include <functional>

#include "assets/paint/paint.h"

// The shapes of one logo, laid out by the caller; the look gives the sizes
// of the glows, shadows and outlines, which do not simply scale with the
// logo.
struct TLogoShapes {
  std::function<void(cairo_t*)> Word, Two, SpeedLines;
  double WordTop, WordBase, TwoTop, TwoBase;
  // The speed lines fade in from LinesFrom to full at LinesTo.
  double LinesFrom, LinesTo;
};
struct TLogoLook {
  double ShadowBlur, ShadowDX, ShadowDY;
  double WordGlowBlur, WordGlowOpacity, WordGlowWidth;
  double TwoGlowBlur, TwoGlowOpacity, TwoGlowWidth;
  double LinesAlpha;
  double WordOutline, TwoOutline, TwoStroke;
  double EdgeBlur, EdgeDX, EdgeDY;
};
void PaintLogoArt(const paint::TCanvas& canvas, const TLogoShapes& shapes, const TLogoLook& look);

// Four streaks trailing the "2", in rows between Top and Bottom: tapered at
// the tail, cut at the front with the lean of the letters and tucked under
// the digit, the top one ending at Right.
struct TSpeedLines {
  double Top, Bottom, Right;
  double Thickness, Lean;
  double Lengths[4];
  double LeftLimit;  // no streak reaches further left
  double TailCut;    // how far the tail's lower edge is cut back
};
void SpeedLinesPath(cairo_t* cr, const TSpeedLines& lines);

// The whole logo in a box: the word's ink spans Width from Left with its
// top at Top; the "2" of face size TwoSize stands under the word's right
// end, its ink TwoInset short of it. At the background's width of 242
// pixels the speed lines have their full size; smaller logos scale them.
struct TLogoLayout {
  double Left, Top, Width;
  double TwoSize, TwoInset;
  // The "2"'s baseline: TwoBase down the canvas, or TwoBase below the
  // word's baseline where TwoBelowWord.
  double TwoBase;
  bool TwoBelowWord;
  // The chrome runs down from the word's measured ink top, or from Top.
  bool ChromeFromInk;
  // Small logos draw their speed lines bolder and longer so they still read.
  double LinesBolder, LinesLonger;
  double LinesLeftLimit;
};
void PaintTitleLogo(const paint::TCanvas& canvas, const TLogoLayout& layout, const TLogoLook& look);
