#include "shell/language.h"

#include "gfx/cp1251.h"
#include "sprites/image_list.h"

uint8_t Language = lgRussian;

TSaid Said(const char* russian, const char* english) { return {Cp1251FromUtf8(russian), Cp1251FromUtf8(english)}; }

const std::string& Say(const TSaid& text) { return Language == lgEnglish ? text.En : text.Ru; }

TSaid::operator const std::string&() const { return Say(*this); }

void SetLanguage(uint8_t language) {
  Language = language == lgEnglish ? lgEnglish : lgRussian;
  PictureVariantSuffix = Language == lgEnglish ? "_En" : "";
}

uint8_t LanguageOfLocale(const std::string& locale) {
  if (locale.empty()) return lgRussian;
  const std::string code = locale.substr(0, locale.find_first_of("_.@-"));
  for (const char* russianReaders : {"ru", "uk", "be", "kk"})
    if (code == russianReaders) return lgRussian;
  return lgEnglish;
}

const char* LanguageCode(uint8_t language) { return language == lgEnglish ? "en" : "ru"; }
