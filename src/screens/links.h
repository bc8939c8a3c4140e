#pragma once
#include <string>

// Opens a link file, an address or a program with the desktop's "open"
// action. A failed open shows nothing; a file that does not exist is not
// opened at all.
void OpenLink(const std::string& target);
