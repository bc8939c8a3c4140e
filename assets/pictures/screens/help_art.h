#pragma once
// The help screen: the page-turn buttons "Help_Prev" and "Help_Next" and
// the small logo "HelpLogo" of the about page.
#include <string>

#include "assets/catalog.h"

void AddHelpArt(TImageItems& res1);
// The five pages as the help screen draws them.
void WriteHelpPreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir);
