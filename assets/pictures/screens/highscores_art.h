#pragma once
// The highscores screen: its title "HSCaption", the table board "HSTable"
// the game prints the ten rows into, and the three buttons of the left
// column ("HS_Clear", "HS_View", "HS_Back").
#include <string>

#include "assets/catalog.h"

void AddHighscoresArt(TImageItems& res1);
// The screen with the default table and with a full one, and the clear
// question over it.
void WriteHighscoresPreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir);
