#pragma once
// The options file Data/Save/options: display mode, music, sound, country
// and the checksum of the top-ten table.
#include <string>

// A file that is missing, or holds words where a switch belongs, gives the
// defaults (and so, through the empty checksum, the default table). A file
// cut short keeps what it has: missing lines read as empty, and an empty
// switch keeps its default.
void LoadOptions();
bool SaveOptions();
// The five lines SaveOptions writes, the checksum from the table as it is now.
std::string OptionsFileText();
