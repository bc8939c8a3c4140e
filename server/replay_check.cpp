#include "replay_check.h"

#include <cmath>

#include "shell/frame_rate.h"

namespace {

// The fastest display the game is played on; above it a recording's speed
// factors would slow the race to a crawl for nothing.
constexpr int FastestDisplay = 1000;

// The rate a speed factor was made from (85 / rate), or 0 when none was.
int RateOf(double speedFactor) {
  if (!(speedFactor > 0)) return 0;
  const double rate = std::round(TunedRate / speedFactor);
  if (rate < 1 || rate > FastestDisplay + 2) return 0;
  return TunedRate / rate == speedFactor ? static_cast<int>(rate) : 0;
}

// A frame's clock step at that rate, as the game's frame timing makes it:
// whole milliseconds of the frame where they keep the tuned pace; else the
// tuned tick's milliseconds scaled, cut to whole ones with the fraction
// carried (so at times one more).
bool StepFits(int rate, double speedFactor, int frameMs) {
  if (const int whole = WholeFrameMsAt(rate)) return frameMs == whole;
  const double scaled = TunedFrameMs * speedFactor;
  return frameMs == static_cast<int>(scaled) || frameMs == static_cast<int>(scaled) + 1;
}

}  // namespace

bool PlausibleRecording(const TRecording& recording, std::string& why) {
  if (recording.RefreshRate < 0 || recording.RefreshRate > FastestDisplay) {
    why = "a display of " + std::to_string(recording.RefreshRate) + " Hz";
    return false;
  }
  // The frame timer's rate stands for the display's within two frames
  // above it; below it a slow machine gives any rate.
  const int fastest = UsableRefreshRate(recording.RefreshRate) + 2;
  for (size_t i = 0; i < recording.Ticks.size(); ++i) {
    const TRecordedTick& t = recording.Ticks[i];
    const int rate = RateOf(t.SpeedFactor);
    if (t.Kind != rtRace && t.Kind != rtWindow && t.Kind != rtResume) {
      why = "frame " + std::to_string(i) + " of an unknown kind";
    } else if (rate == 0 || rate > fastest) {
      why = "frame " + std::to_string(i) + " at a speed no display of " + std::to_string(recording.RefreshRate) +
            " Hz gives";
    } else if (!StepFits(rate, t.SpeedFactor, t.FrameMs)) {
      why = "frame " + std::to_string(i) + " steps the clock " + std::to_string(t.FrameMs) + " ms at " +
            std::to_string(rate) + " Hz";
    } else if (t.LagCount < 0) {
      why = "frame " + std::to_string(i) + " lasts " + std::to_string(t.LagCount) + " ms";
    } else {
      continue;
    }
    return false;
  }
  return true;
}
