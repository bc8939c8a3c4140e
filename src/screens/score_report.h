#pragma once
// Reporting a new top-ten score to the online table, and the table's page.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// Each byte as its eight binary digits, most significant first.
std::string EncodeBits(const std::string& text);
// Groups of five digits as one symbol of "ABCDEFGHJKLMNPQRSTUVWXY123456789".
std::string EncodeBase32(const std::string& digits);
// The score service's base address: the environment variable
// VOLTRACE2_SCORE_SERVER when it is set (a service a friend runs), else the
// address the game was built with.
std::string ScoreServerAddress();
// The code that carries Name, Score and Country (Windows-1251 texts).
std::string ScoreReportCode(const std::string& name, int32_t score, const std::string& country);
// The address that reports them.
std::string ScoreReportUrl(const std::string& name, int32_t score, const std::string& country);
// The whole request: the address, the header lines the game always sends,
// and its time-outs.
THttpGet ScoreReportRequest(const std::string& name, int32_t score, const std::string& country);
// The recording of the reported game, sent after the report has been
// taken: a POST of the recording's bytes to the report's address with
// "rec" in place of "hs", so that the service replays it and marks the
// score when the replay ends with it. A service that knows nothing of
// recordings refuses it, and the report stands as it always did.
THttpGet RecordingRequest(const std::string& name, int32_t score, const std::string& country,
                          const std::vector<uint8_t>& recording);
// The online table's page.
std::string OnlineTableUrl();

// How long a report may take: to reach the service, and in all. The sending
// notice stays up at most this long.
extern int ScoreReportConnectTimeoutMs;
extern int ScoreReportTotalTimeoutMs;

// The sending window starts the report and asks every tick whether it has
// ended; no answer of the service is used and every failure is ignored,
// except that the recording of the game (when it ended with this score)
// follows only a report the service took (200).
void StartScoreReport(const std::string& name, int32_t score, const std::string& country);
bool ScoreReportEnded();
// Drops a report still under way (the player is leaving).
void AbandonScoreReport();
