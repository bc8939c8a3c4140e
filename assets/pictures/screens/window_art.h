#pragma once
// The question windows (leave the game, leave the race, clear the table):
// the frame "Window", the three question captions and the "Yes" / "No"
// buttons. The frame is a dark panel in a bevelled steel border, keyed so
// it sits over any screen; captions and buttons are cut from the frame and
// painted on, so they join it without a seam wherever it is shown.
#include <string>

#include "assets/catalog.h"

void AddWindowArt(TImageItems& res1);
// The questions over the main menu (with either button hovered), the
// leave-the-race question over a road and a close-up of each part.
void WriteWindowPreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir);
