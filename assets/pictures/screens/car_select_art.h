#pragma once
// The car-selection screen: the frame "SG_Bk", the six showroom pictures
// "SG_Car1" .. "SG_Car6" shown inside it, the arrow keys "SG_Left" and
// "SG_Right" at its sides and the captions "SG_Start" and "SG_Back" under it.
#include <string>

#include "assets/catalog.h"

void AddCarSelectArt(TImageItems& res1);
// The screen as the game composes it, with each car and each button lit.
void WriteCarSelectPreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir);
