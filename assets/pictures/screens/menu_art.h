#pragma once
// The menu screens' shared art: the background "MMBG" (a four-lane road
// running into a town at dusk, with the title logo at the top left) and the
// caption looks of the menu's picture buttons. Other menu screens print
// their titles at the top right and their texts at the left of it; buttons
// of those screens can be made the same way as the main menu's.
#include <string>

#include "gfx/surface.h"
#include "assets/paint/paint.h"

// The finished 792 x 592 background, painted on first use and kept for the
// run so every button can be cut from it.
const paint::TCanvas& MenuBackground();

enum class TCaptionLook {
  Normal,   // warm white with a soft shadow
  Hovered,  // glowing orange with a light streak across the button
  Intro,    // chrome like the logo, with a cool rim light and a glint; shown after the fade-in
};

constexpr double MenuCaptionSize = 40.0;

// Paints a caption in the display face with its ink centred on (cx, cy).
// `streakWidth` is how far the hovered look's light streak may reach.
void PaintMenuCaption(const paint::TCanvas& canvas, const std::string& utf8, double cx, double cy,
                      TCaptionLook look, double size = MenuCaptionSize, double streakWidth = 0);

// A button picture: the background under (x, y, width, height) with the
// caption centred on it. Opaque, so it blends exactly with the background
// wherever it is drawn over it, even at partial alpha.
TSurface MenuButtonPicture(int x, int y, int width, int height, const std::string& utf8, TCaptionLook look,
                           double size = MenuCaptionSize);
