#include "screens/score_report.h"

#include "platform/platform.h"

namespace {

const char Base32Alphabet[] = "ABCDEFGHJKLMNPQRSTUVWXY123456789";
// The same letter in every report: the score service knows the game by it.
const char ReportKey = 'V';
const char* const ScoreServer = VT_SCORE_SERVER;
// The report blocks the game while the "sending" notice shows; a service
// that never answers must not freeze the game for good, so we give up after
// ten seconds and go on to the table as after any other failure.
constexpr int ScoreReportTimeoutMs = 10000;

}  // namespace

std::string EncodeBits(const std::string& text) {
  std::string digits;
  digits.reserve(text.size() * 8);
  for (unsigned char c : text)
    for (int bit = 7; bit >= 0; --bit) digits += (c >> bit) & 1 ? '1' : '0';
  return digits;
}

std::string EncodeBase32(const std::string& digits) {
  std::string padded = digits;
  while (padded.size() % 5 != 0) padded.insert(padded.begin(), '0');
  std::string code;
  for (size_t i = 0; i < padded.size(); i += 5) {
    int value = 0;
    for (size_t k = 0; k < 5; ++k) value = value * 2 + (padded[i + k] == '0' ? 0 : 1);
    code += Base32Alphabet[value];
  }
  return code;
}

std::string ScoreReportUrl(const std::string& name, int32_t score, const std::string& country) {
  std::string record = "type=0|name=" + name + "|score=" + std::to_string(score) + "|key=" + ReportKey +
                       "|p=|add=" + country + "|z=";
  while (record.size() % 5 != 0) record += '0';
  return std::string(ScoreServer) + "/cgi/version.pl?hs&prg=Voltrace2&inf=" + EncodeBase32(EncodeBits(record));
}

std::string OnlineTableUrl() { return std::string(ScoreServer) + "/cgi/version.pl?prg=Voltrace2&show&type=0"; }

void SendScoreReport(const std::string& name, int32_t score, const std::string& country) {
  // No answer of the service is used; a failed report changes nothing.
  Platform->HttpGet(ScoreReportUrl(name, score, country), ScoreReportTimeoutMs);
}
