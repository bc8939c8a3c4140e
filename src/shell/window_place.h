#pragma once
// The window's place on the desktop, kept between runs beside the options
// (which keep whether the game runs full screen), in the save folder's
// "window" file: X and Y, one per line.

// Start-up, before the display mode is applied: a missing or unreadable
// file leaves the window where the desktop puts it (centred).
void LoadWindowPlace();
// Exit, with the other saves. Nothing is written when there is no window.
bool SaveWindowPlace();
