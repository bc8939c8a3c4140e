#include "sprites/name_index.h"

#include <array>

namespace {

// Capital -> small for every letter pair of code page 1251.
constexpr std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[static_cast<size_t>(i)] = static_cast<unsigned char>(i);
  for (int c = 'A'; c <= 'Z'; ++c) t[static_cast<size_t>(c)] = static_cast<unsigned char>(c + 32);
  for (int c = 0xC0; c <= 0xDF; ++c) t[static_cast<size_t>(c)] = static_cast<unsigned char>(c + 32);
  constexpr unsigned char Pairs[][2] = {
      {0x80, 0x90},  // Ђ ђ
      {0x81, 0x83},  // Ѓ ѓ
      {0x8A, 0x9A},  // Љ љ
      {0x8C, 0x9C},  // Њ њ
      {0x8D, 0x9D},  // Ќ ќ
      {0x8E, 0x9E},  // Ћ ћ
      {0x8F, 0x9F},  // Џ џ
      {0xA1, 0xA2},  // Ў ў
      {0xA3, 0xBC},  // Ј ј
      {0xA5, 0xB4},  // Ґ ґ
      {0xA8, 0xB8},  // Ё ё
      {0xAA, 0xBA},  // Є є
      {0xAF, 0xBF},  // Ї ї
      {0xB2, 0xB3},  // І і
      {0xBD, 0xBE},  // Ѕ ѕ
  };
  for (const auto& p : Pairs) t[p[0]] = p[1];
  return t;
}

constexpr std::array<unsigned char, 256> FoldTable = MakeFoldTable();

}  // namespace

unsigned char FoldNameByte(unsigned char c) { return FoldTable[c]; }

std::string FoldNameCase(const std::string& name) {
  std::string folded(name);
  for (char& c : folded) c = static_cast<char>(FoldTable[static_cast<unsigned char>(c)]);
  return folded;
}

void TNameIndex::Add(const std::string& name, int index) { Map.emplace(FoldNameCase(name), index); }

int TNameIndex::Find(const std::string& name) const {
  // The game's names are short; a longer one takes the allocating path.
  char buf[64];
  if (name.size() > sizeof buf) {
    auto it = Map.find(FoldNameCase(name));
    return it == Map.end() ? -1 : it->second;
  }
  for (size_t i = 0; i < name.size(); ++i)
    buf[i] = static_cast<char>(FoldTable[static_cast<unsigned char>(name[i])]);
  auto it = Map.find(std::string_view(buf, name.size()));
  return it == Map.end() ? -1 : it->second;
}
