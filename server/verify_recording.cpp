// The child's side of a replay: the one part of the service that runs the
// game's own race code. It runs in a process of its own under the limits
// its parent set, so whatever a recording does to it ends with it.
#include <unistd.h>

#include <cstdio>
#include <exception>

#include "platform/headless_platform.h"
#include "replay_check.h"
#include "race/replay/replay_run.h"
#include "score_verifier.h"
#include "sprites/image_list.h"
#include "sprites/wave_list.h"

namespace {

// The recording on standard input, one byte over the cap at most.
bool ReadInput(std::vector<uint8_t>& bytes) {
  uint8_t buffer[65536];
  while (true) {
    const ssize_t n = read(0, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) return false;
    bytes.insert(bytes.end(), buffer, buffer + n);
    if (bytes.size() > MaxRecordingFileBytes) return true;
  }
}

int Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  return 0;
}

}  // namespace

int VerifyRecordingCommand(const std::string& gameData, uint32_t tickCap, int32_t score) {
  std::vector<uint8_t> bytes;
  if (!ReadInput(bytes)) return Say("unreadable cannot read the recording");
  if (bytes.size() > MaxRecordingFileBytes)
    return Say("unreadable larger than " + std::to_string(MaxRecordingFileBytes) + " bytes");
  TRecording recording;
  std::string why;
  if (!DecodeRecording(bytes.data(), bytes.size(), recording, why)) return Say("unreadable " + why);
  if (!PlausibleRecording(recording, why)) return Say("implausible " + why);
  // A recording that names another score is not worth its replay.
  if (recording.FinalScore != score)
    return Say("mismatch the recording names " + std::to_string(recording.FinalScore) + ", the report " +
               std::to_string(score));
  // The race as the game runs it, on a machine with no screen or speakers,
  // with the game's pictures and sounds (the race looks them up by name).
  static THeadlessPlatform machine;
  Platform = &machine;
  try {
    MDXImageList1.LoadFromFile(gameData + "/Res/Res1.dxg");
    MDXImageList2.LoadFromFile(gameData + "/Res/Res2.dxg");
    MDXWaveList.LoadFromFile(gameData + "/Res/Sounds.dxw");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "voltrace2-scores: the game's data: %s\n", e.what());
    return 1;
  }
  const TReplayOutcome end = ReplayToEnd(recording, tickCap);
  const std::string figures =
      std::to_string(end.Score) + " " + std::to_string(end.Level) + " " + std::to_string(end.Ticks);
  if (!end.Finished) return Say("diverged " + figures + (end.Error.empty() ? "" : " " + end.Error));
  return Say("finished " + figures);
}
