#pragma once
// The options screen: the on/off indicators of its three switch rows, the
// hover looks of its four rows, the country text box with its cursor, the
// name entry's cursor and the "back" button. Everything sits over the menu
// background at the places the screen draws it, so the opaque pictures are
// cut from that background and the hover looks are keyed wherever they leave
// the picture under them alone.
#include "assets/catalog.h"

void AddOptionsArt(TImageItems& res1);
