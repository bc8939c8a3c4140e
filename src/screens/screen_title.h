#pragma once
#include <string>

// The big title of a menu screen, in the calm top right of the background.
void ScreenTitle(const std::string& text);
