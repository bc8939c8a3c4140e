#pragma once
// The controls screen's pictures: the board the game prints the race's
// actions with their keys and pad buttons on, the light of a chosen row,
// and the "По умолчанию" button beside "back" (with its English twin).
#include <string>

#include "assets/catalog.h"

void AddControlsArt(TImageItems& res1);
void WriteControlsPreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir);
