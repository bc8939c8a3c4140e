#pragma once
// The help pages' texts as the game prints them (Windows-1251), with their
// leading and trailing spaces.
#include <string>

extern const std::string HelpDescription[8];
extern const std::string HelpMenuControls[5];
extern const std::string HelpGameControls[8];
extern const std::string HelpCopyright;
extern const std::string HelpWebAddress;
