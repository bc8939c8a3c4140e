#pragma once
// Reporting a new top-ten score to the online table, and the table's page.
#include <cstdint>
#include <string>

#include "platform/platform.h"

// Each byte as its eight binary digits, most significant first.
std::string EncodeBits(const std::string& text);
// Groups of five digits as one symbol of "ABCDEFGHJKLMNPQRSTUVWXY123456789".
std::string EncodeBase32(const std::string& digits);
// The score service's base address: the environment variable
// VOLTRACE2_SCORE_SERVER when it is set (a service a friend runs), else the
// address the game was built with.
std::string ScoreServerAddress();
// The address that reports Name, Score and Country (Windows-1251 texts).
std::string ScoreReportUrl(const std::string& name, int32_t score, const std::string& country);
// The whole request: the address, the header lines the game always sends,
// and its time-outs.
THttpGet ScoreReportRequest(const std::string& name, int32_t score, const std::string& country);
// The online table's page.
std::string OnlineTableUrl();

// How long a report may take: to reach the service, and in all. The sending
// notice stays up at most this long.
extern int ScoreReportConnectTimeoutMs;
extern int ScoreReportTotalTimeoutMs;

// The sending window starts the report and asks every tick whether it has
// ended; no answer of the service is used and every failure is ignored.
void StartScoreReport(const std::string& name, int32_t score, const std::string& country);
bool ScoreReportEnded();
// Drops a report still under way (the player is leaving).
void AbandonScoreReport();
