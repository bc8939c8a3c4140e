#include "score_record.h"

#include <cstring>
#include <vector>

namespace {

const char Alphabet[] = "ABCDEFGHJKLMNPQRSTUVWXY123456789";

// What the game lets a player type into a name: digits, Latin letters, the
// space and the Cyrillic letters А..я.
bool IsNameChar(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ' || c >= 192;
}

// A country is typed the same way, but the game starts with "_______" until
// the player types one, and sends that.
bool IsCountryChar(unsigned char c) { return IsNameChar(c) || c == '_'; }

template <class Pred>
bool AllOf(const std::string& text, Pred allowed) {
  for (unsigned char c : text)
    if (!allowed(c)) return false;
  return true;
}

// The score as the game writes it: an optional minus, digits without a
// leading zero (0 itself aside), within 32 bits.
bool ParseScore(const std::string& text, int32_t& score) {
  size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
  const std::string digits = text.substr(i);
  if (digits.empty() || digits.size() > 10 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
  if (digits.size() > 1 && digits[0] == '0') return false;
  if (i == 1 && digits == "0") return false;
  long long value = std::stoll(digits);
  if (i == 1) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return false;
  score = static_cast<int32_t>(value);
  return true;
}

}  // namespace

std::optional<std::string> DecodeReportCode(const std::string& code) {
  if (code.empty() || code.size() % 8 != 0) return std::nullopt;
  std::string record;
  record.reserve(code.size() / 8 * 5);
  for (size_t g = 0; g < code.size(); g += 8) {
    uint64_t bits = 0;
    for (size_t k = 0; k < 8; ++k) {
      const char* at = code[g + k] ? std::strchr(Alphabet, code[g + k]) : nullptr;
      if (!at) return std::nullopt;
      bits = bits << 5 | static_cast<uint64_t>(at - Alphabet);
    }
    for (int b = 4; b >= 0; --b) record += static_cast<char>((bits >> (8 * b)) & 0xFF);
  }
  return record;
}

std::optional<TScoreReport> ParseReportRecord(const std::string& record, char key, std::string& why) {
  static const char* const Keys[] = {"type=", "name=", "score=", "key=", "p=", "add=", "z="};
  std::vector<std::string> values;
  size_t at = 0;
  for (const char* k : Keys) {
    const size_t len = std::strlen(k);
    if (record.compare(at, len, k) != 0) {
      why = std::string("field ") + k + " missing or out of place";
      return std::nullopt;
    }
    at += len;
    const size_t bar = record.find('|', at);
    const bool last = k == Keys[6];
    if (last != (bar == std::string::npos)) {
      why = "fields out of place";
      return std::nullopt;
    }
    values.push_back(record.substr(at, last ? std::string::npos : bar - at));
    at = last ? record.size() : bar + 1;
  }
  TScoreReport report;
  if (values[0] != "0") return why = "type is not 0", std::nullopt;
  report.Name = values[1];
  if (report.Name.size() > 12 || !AllOf(report.Name, IsNameChar)) return why = "bad name", std::nullopt;
  if (!ParseScore(values[2], report.Score)) return why = "bad score", std::nullopt;
  if (values[3] != std::string(1, key)) return why = "wrong key", std::nullopt;
  if (!values[4].empty()) return why = "p is not empty", std::nullopt;
  report.Country = values[5];
  if (report.Country.size() > 16 || !AllOf(report.Country, IsCountryChar)) return why = "bad country", std::nullopt;
  // Only the zeros that make the record whole five-byte groups.
  const std::string& pad = values[6];
  if (pad.size() > 4 || pad.find_first_not_of('0') != std::string::npos || record.size() % 5 != 0)
    return why = "bad padding", std::nullopt;
  return report;
}
