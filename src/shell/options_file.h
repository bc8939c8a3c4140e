#pragma once
// The options file Data/Save/options: display mode, music, sound, country
// and the checksum of the top-ten table.
#include <string>

// A file that is missing or whose switches are not numbers gives the
// defaults (and so, through the empty checksum, the default table).
void LoadOptions();
bool SaveOptions();
// The five lines SaveOptions writes, the checksum from the table as it is now.
std::string OptionsFileText();
