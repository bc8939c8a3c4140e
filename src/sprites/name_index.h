#pragma once
// Case-insensitive name lookup for the image and sound lists: Latin and
// Cyrillic (Windows-1251) letters fold to one case before hashing.
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

std::string FoldNameCase(const std::string& name);
// The small letter of one 1251 byte; other bytes are returned unchanged.
unsigned char FoldNameByte(unsigned char c);

class TNameIndex {
 public:
  void Clear() { Map.clear(); }
  void Add(const std::string& name, int index);  // the first of equal names wins
  int Find(const std::string& name) const;       // -1 when absent
 private:
  // Looked up by string_view so that Find folds into a stack buffer and a
  // per-tick lookup does not allocate.
  struct THash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, int, THash, std::equal_to<>> Map;
};
