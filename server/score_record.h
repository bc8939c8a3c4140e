#pragma once
// A score report as the game sends it: the record text
//   type=0|name=NAME|score=SCORE|key=K|p=|add=COUNTRY|z=
// padded with "0" to a whole number of five-byte groups, each byte's eight
// bits read five at a time as symbols of "ABCDEFGHJKLMNPQRSTUVWXY123456789".
#include <cstdint>
#include <optional>
#include <string>

struct TScoreReport {
  std::string Name;     // Windows-1251 bytes, as typed in the game
  int32_t Score = 0;
  std::string Country;  // Windows-1251 bytes
};

// The record text a report's code carries; nullopt when the code is empty,
// not whole groups of eight symbols, or holds a symbol outside the alphabet.
std::optional<std::string> DecodeReportCode(const std::string& code);

// The report a record carries, or nullopt with the reason in why: every
// field in its place, type 0, the build's key letter, a name of at most 12
// and a country of at most 16 characters the game can type, a score that is
// a 32-bit integer written as the game writes it, and only the padding
// the record needs.
std::optional<TScoreReport> ParseReportRecord(const std::string& record, char key, std::string& why);
