#pragma once
// The language the game speaks: Russian, as it always has, or English. Every
// text the game prints comes in both; pictures with words in them have an
// English twin in the archives, the same name with "_En" after it, which
// the image lists hand out in its place while English is chosen.
#include <cstdint>
#include <string>

enum TLanguage : uint8_t { lgRussian = 0, lgEnglish = 1 };
extern uint8_t Language;

// A text in both languages, each as the game prints it (Windows-1251).
struct TSaid {
  std::string Ru, En;
  // Reads as the one to print now, wherever a text is wanted.
  operator const std::string&() const;
};
// Both written in UTF-8 here, as the sources are.
TSaid Said(const char* russian, const char* english);
// The one to print now.
const std::string& Say(const TSaid& text);

// Sets the language and the pictures that go with it. Screens already open
// keep the pictures they have until they are opened again.
void SetLanguage(uint8_t language);
// The language a first start takes from the system's locale: Russian for
// the languages whose speakers read it as their own or a neighbour's (and
// when the locale names no language), English for every other.
uint8_t LanguageOfLocale(const std::string& locale);
// "ru" or "en", as the settings file writes it.
const char* LanguageCode(uint8_t language);
