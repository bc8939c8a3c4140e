// voltrace2-scores-verify-bench: what verifying a score costs the service.
// Replays one recording RUNS times exactly as the service does (a child
// process of the service's program, with its limits) and prints the child's
// processor time, median and p95, per replay and per minute of the game's
// play (the recorded frames at the recorded display's rate).
//
//   voltrace2-scores-verify-bench RECORDING [RUNS]
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "race/replay/replay_run.h"
#include "score_verifier.h"

namespace {

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: voltrace2-scores-verify-bench RECORDING [RUNS]\n");
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  TRecording recording;
  std::string why;
  if (!DecodeRecording(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), recording, why)) {
    std::fprintf(stderr, "%s: %s\n", argv[1], why.c_str());
    return 1;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
  TVerifyOptions options;
  options.Program = VT_SCORES_SERVICE;
  options.GameData = VT_GAME_DATA;
  options.TickCap = ReplayTickCap;
  options.CpuSeconds = 120;
  options.WallSeconds = 240;
  const int rate = recording.RefreshRate > 1 ? recording.RefreshRate : 60;
  const double minutes = static_cast<double>(recording.Ticks.size()) / rate / 60;
  std::vector<double> seconds;
  for (int i = 0; i < runs; ++i) {
    const TVerdict v = ReplayInChild(bytes, recording.FinalScore, options);
    if (!v.Verified()) {
      std::fprintf(stderr, "run %d: %s %s\n", i + 1, v.Outcome.c_str(), v.Detail.c_str());
      return 1;
    }
    seconds.push_back(v.CpuSeconds);
  }
  std::printf("recording: %zu bytes, %zu frames at %d Hz = %.2f min of play, score %d\n", bytes.size(),
              recording.Ticks.size(), rate, minutes, recording.FinalScore);
  std::printf("replay cpu: median %.3f s, p95 %.3f s (%d runs)\n", Percentile(seconds, 0.5), Percentile(seconds, 0.95),
              runs);
  std::printf("per minute of play: median %.3f s, p95 %.3f s\n", Percentile(seconds, 0.5) / minutes,
              Percentile(seconds, 0.95) / minutes);
  return 0;
}
