#pragma once
// Typing into the name and country fields (Windows-1251 bytes).
#include <string>

// Digits, Latin letters, the space and the Cyrillic letters А..я (bytes
// 192..255); not Ё/ё, punctuation or control characters.
bool IsNameChar(unsigned char c);
void AppendChar(std::string& text, unsigned char c, int maxLength);
void DeleteLastChar(std::string& text);
