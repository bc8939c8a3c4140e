#pragma once
// The name entry for a new highscore: the window "SendTable" and its
// "send to the online table" check box "SendOk".
#include <string>

#include "assets/catalog.h"

void AddSendArt(TImageItems& res1);
// The window over the main menu and over a road, with the box ticked and
// not, and a close-up.
void WriteSendPreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir);
