#pragma once
// The game's texts are Windows-1251 bytes; the fonts, the script runner and
// the terminal speak UTF-8. These convert at those borders only.
#include <string>
#include <string_view>

// Characters with no 1251 byte become '?'.
std::string Cp1251FromUtf8(std::string_view utf8);
std::string Utf8FromCp1251(std::string_view cp1251);
// The Unicode code point of one 1251 byte.
char32_t UnicodeOf1251(unsigned char c);
// The 1251 byte of a code point, or 0 when there is none.
unsigned char ByteOf1251(char32_t cp);
