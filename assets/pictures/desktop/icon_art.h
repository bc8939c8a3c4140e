#pragma once
// The game's icon for the desktop's menus and task bar: the title logo's hot
// "2" with its speed lines on a dusk-blue tile, at any square size.
#include <string>

#include "assets/paint/paint.h"

// Paints the icon filling a Size x Size canvas (transparent corners).
void PaintIcon(const paint::TCanvas& canvas);

// The sizes of the desktop's icon theme the game installs.
constexpr int IconSizes[] = {16, 24, 32, 48, 64, 128, 256, 512};

// Writes <dir>/<size>x<size>/apps/<name>.png for every size.
void WriteIcons(const std::string& dir, const std::string& name);
