#include "shell/text_entry.h"

bool IsNameChar(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ' || c >= 192;
}

void AppendChar(std::string& text, unsigned char c, int maxLength) {
  if (static_cast<int>(text.size()) < maxLength) text += static_cast<char>(c);
}

void DeleteLastChar(std::string& text) {
  if (!text.empty()) text.pop_back();
}
