// libFuzzer target for the recording reader: any bytes are either refused
// with one line, or read as a recording that keeps its own rules (a path
// point for each race tick, levels in order inside the ticks) and that
// writes back to a file read as the very same recording. The score service
// reads uploads with this reader, so nothing here may crash, read past the
// input or take memory beyond the format's caps. Built and run by
// tools/fuzz.sh.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "race/replay/recording.h"

namespace {

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "recording reader fuzzer: %s\n", what);
  std::abort();
}

bool Same(const TRecording& a, const TRecording& b) {
  if (a.RandomState != b.RandomState || a.SelectedCar != b.SelectedCar || a.RefreshRate != b.RefreshRate ||
      a.StartLevel != b.StartLevel || a.FinalScore != b.FinalScore || a.FinalLevel != b.FinalLevel ||
      a.Name != b.Name || a.Ticks.size() != b.Ticks.size() || a.Path.size() != b.Path.size() ||
      a.Levels.size() != b.Levels.size())
    return false;
  for (size_t i = 0; i < a.Ticks.size(); ++i) {
    const TRecordedTick &x = a.Ticks[i], &y = b.Ticks[i];
    if (x.Kind != y.Kind || x.Keys != y.Keys || x.LagCount != y.LagCount || x.FrameMs != y.FrameMs ||
        std::memcmp(&x.SpeedFactor, &y.SpeedFactor, sizeof(double)) != 0)
      return false;
  }
  for (size_t i = 0; i < a.Path.size(); ++i) {
    const TGhostPoint &x = a.Path[i], &y = b.Path[i];
    if (std::memcmp(&x.TownX, &y.TownX, sizeof(float)) != 0 || std::memcmp(&x.TownY, &y.TownY, sizeof(float)) != 0 ||
        x.Heading != y.Heading || x.Visible != y.Visible)
      return false;
  }
  for (size_t i = 0; i < a.Levels.size(); ++i) {
    const TRecordedLevel &x = a.Levels[i], &y = b.Levels[i];
    if (x.Level != y.Level || x.FirstTick != y.FirstTick || x.FirstPathPoint != y.FirstPathPoint ||
        x.TownFingerprint != y.TownFingerprint)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TRecording r;
  std::string error;
  if (!DecodeRecording(data, size, r, error)) {
    if (error.empty() || error.find('\n') != std::string::npos) Broken("a refusal without its one line");
    return 0;
  }
  size_t raceTicks = 0;
  for (const TRecordedTick& t : r.Ticks) raceTicks += t.Kind == rtRace;
  if (raceTicks != r.Path.size()) Broken("a path point missing or extra");
  for (size_t i = 0; i < r.Levels.size(); ++i) {
    if (r.Levels[i].FirstTick > r.Ticks.size() || r.Levels[i].FirstPathPoint > r.Path.size())
      Broken("a level beyond the ticks");
    if (i > 0 && r.Levels[i].FirstTick < r.Levels[i - 1].FirstTick) Broken("levels out of order");
  }
  const std::vector<uint8_t> again = EncodeRecording(r);
  TRecording back;
  if (!DecodeRecording(again.data(), again.size(), back, error)) Broken(("a written recording refused: " + error).c_str());
  if (!Same(r, back)) Broken("a written recording read back differently");
  return 0;
}
