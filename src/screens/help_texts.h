#pragma once
// The help pages' texts as the game prints them (Windows-1251), with their
// leading and trailing spaces, in Russian and English.
#include <string>

#include "shell/language.h"

extern const TSaid HelpDescription[8];
extern const TSaid HelpMenuControls[5];
extern const TSaid HelpGameControls[8];
extern const TSaid HelpCopyright;
extern const TSaid HelpWebAddress;
