#include "screens/score_report.h"

#include <cstdlib>
#include <iterator>

#include "platform/platform.h"
#include "race/replay/recorder.h"
#include "race/replay/recording.h"

int ScoreReportConnectTimeoutMs = 4000;
int ScoreReportTotalTimeoutMs = 8000;

namespace {

const char Base32Alphabet[] = "ABCDEFGHJKLMNPQRSTUVWXY123456789";
// The same letter in every report: the score service knows the game by it.
const char ReportKey = VT_REPORT_KEY[0];
// The request as the game has always sent it; some services look at these.
const char* const ReportHeaders[] = {"Accept: text/html, */*", "User-Agent: Mozilla/3.0 (compatible; Indy Library)",
                                     "Content-Type: text/html"};

// The report under way, 0 when none; then the recording that follows it.
int ReportRequest = 0;
int RecordingRequestId = 0;
THttpGet RecordingToSend;  // its Url empty when there is none

// The recording of the game whose score is reported (the report is sent
// before its race screen closes, so the recording is still the latest),
// when it ended with that score. A race the recorder could not play back
// sends none. Its name is not compared: the service checks the score alone.
std::vector<uint8_t> ReportedGameRecording(int32_t score) {
  const TRecording* latest = LatestRecording();
  if (latest == nullptr || latest->FinalScore != score) return {};
  return EncodeRecording(*latest);
}

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

std::string ScoreReportCode(const std::string& name, int32_t score, const std::string& country) {
  std::string record = "type=0|name=" + name + "|score=" + std::to_string(score) + "|key=" + ReportKey +
                       "|p=|add=" + country + "|z=";
  while (record.size() % 5 != 0) record += '0';
  return EncodeBase32(EncodeBits(record));
}

std::string ScoreReportUrl(const std::string& name, int32_t score, const std::string& country) {
  return ScoreServerAddress() + "/cgi/version.pl?hs&prg=Voltrace2&inf=" + ScoreReportCode(name, score, country);
}

THttpGet RecordingRequest(const std::string& name, int32_t score, const std::string& country,
                          const std::vector<uint8_t>& recording) {
  THttpGet post;
  post.Url = ScoreServerAddress() + "/cgi/version.pl?rec&prg=Voltrace2&inf=" + ScoreReportCode(name, score, country);
  // "Expect:" empty: the body goes at once, without waiting for the
  // service's leave to send it.
  post.Headers = {"Content-Type: application/octet-stream", "Expect:"};
  post.ConnectTimeoutMs = ScoreReportConnectTimeoutMs;
  post.TotalTimeoutMs = ScoreReportTotalTimeoutMs;
  post.Post = true;
  post.Body.assign(recording.begin(), recording.end());
  return post;
}

std::string ScoreServerAddress() {
  const char* chosen = std::getenv("VOLTRACE2_SCORE_SERVER");
  std::string address = chosen && *chosen ? chosen : VT_SCORE_SERVER;
  while (!address.empty() && address.back() == '/') address.pop_back();
  return address;
}

THttpGet ScoreReportRequest(const std::string& name, int32_t score, const std::string& country) {
  THttpGet get;
  get.Url = ScoreReportUrl(name, score, country);
  get.Headers.assign(std::begin(ReportHeaders), std::end(ReportHeaders));
  get.ConnectTimeoutMs = ScoreReportConnectTimeoutMs;
  get.TotalTimeoutMs = ScoreReportTotalTimeoutMs;
  return get;
}

std::string OnlineTableUrl() { return ScoreServerAddress() + "/cgi/version.pl?prg=Voltrace2&show&type=0"; }

void StartScoreReport(const std::string& name, int32_t score, const std::string& country) {
  AbandonScoreReport();
  const std::vector<uint8_t> recording = ReportedGameRecording(score);
  if (!recording.empty()) RecordingToSend = RecordingRequest(name, score, country, recording);
  ReportRequest = Platform->HttpStart(ScoreReportRequest(name, score, country));
}

bool ScoreReportEnded() {
  int status = 0;
  if (ReportRequest != 0) {
    if (!Platform->HttpPoll(ReportRequest, status)) return false;
    ReportRequest = 0;
    // The service has the report: its recording follows, in a second
    // request, so that the report itself stays the request it always was.
    if (status == 200 && !RecordingToSend.Url.empty()) RecordingRequestId = Platform->HttpStart(RecordingToSend);
    RecordingToSend = THttpGet{};
  }
  if (RecordingRequestId != 0) {
    if (!Platform->HttpPoll(RecordingRequestId, status)) return false;
    // Whatever the service made of it, the game goes on as before.
    RecordingRequestId = 0;
  }
  return true;
}

void AbandonScoreReport() {
  if (ReportRequest != 0) Platform->HttpAbandon(ReportRequest);
  if (RecordingRequestId != 0) Platform->HttpAbandon(RecordingRequestId);
  ReportRequest = RecordingRequestId = 0;
  RecordingToSend = THttpGet{};
}
