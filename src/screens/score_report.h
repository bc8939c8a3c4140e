#pragma once
// Reporting a new top-ten score to the online table, and the table's page.
#include <cstdint>
#include <string>

// Each byte as its eight binary digits, most significant first.
std::string EncodeBits(const std::string& text);
// Groups of five digits as one symbol of "ABCDEFGHJKLMNPQRSTUVWXY123456789".
std::string EncodeBase32(const std::string& digits);
// The address that reports Name, Score and Country (Windows-1251 texts).
std::string ScoreReportUrl(const std::string& name, int32_t score, const std::string& country);
// The online table's page.
std::string OnlineTableUrl();
// Sends the report and waits for the answer; every failure is ignored.
void SendScoreReport(const std::string& name, int32_t score, const std::string& country);
