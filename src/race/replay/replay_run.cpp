#include "race/replay/replay_run.h"

#include "race/overlay_windows.h"
#include "race/player/player.h"
#include "race/race.h"
#include "race/race_state.h"
#include "race/replay/recorded_keys.h"
#include "shell/game_state.h"
#include "shell/input.h"
#include "shell/random.h"
#include "sprites/lookup_error.h"
#include "sprites/sprite.h"
#include "sprites/tick_scale.h"

bool ReplayWatched = false;

namespace {

// The car where the recording says it was after a race tick. A recording
// whose keys were changed, or whose start was, leaves its path at once.
bool OnRecordedPath(const TGhostPoint& p) {
  double x, y;
  CarTownPosition(x, y);
  return p.TownX == static_cast<float>(x) && p.TownY == static_cast<float>(y) &&
         p.Heading == static_cast<int16_t>(Player->Heading);
}

bool TimedWindowUp() { return OverlayWindow == 3 || OverlayWindow == 6 || OverlayWindow == 7; }

}  // namespace

void StartRecordedRace(const TRecording& recording) {
  SelectedCar = recording.SelectedCar;
  Randomize(recording.RandomState);
  StartRace();
  if (recording.StartLevel > 1) {
    Level = recording.StartLevel - 1;
    StartLevel(true);
  }
}

TReplayStep PlayRecordedTick(const TRecordedTick& tick) {
  SpeedFactor = tick.SpeedFactor;
  FrameMs = tick.FrameMs;
  // A missing picture or sound abandons the rest of the frame in the live
  // game, the sweep of the dead sprites with it; so it does here.
  try {
    switch (tick.Kind) {
      case rtRace:
        if (OverlayWindow != 0) return rpDiverged;
        HoldRecordedKeys(tick.Keys);
        // The pause and leave keys open windows that the recording does not
        // hold; the frames under them changed nothing.
        PressedEsc = PressedP = 0;
        RaceTick(tick.LagCount);
        break;
      case rtWindow:
        if (!TimedWindowUp()) return rpDiverged;
        if (OverlayWindow == 7 && OverlayTimerRunsOut()) return rpGameOver;
        OverlayTick(tick.LagCount);
        break;
      case rtResume:
        if (OverlayWindow != 0) return rpDiverged;
        OpenOverlay(5);
        CloseOverlay();
        break;
      default: return rpDiverged;
    }
    MDXSpriteEngine.Dead();
  } catch (const ELookupError&) {
  }
  return rpPlayed;
}

TReplayOutcome PlayRecording(const TRecording& recording, uint32_t tickCap, bool draw,
                             const std::function<void(uint32_t tick)>& afterTick) {
  TReplayOutcome outcome;
  // Whatever else moves in the sprite world moves with the race: a screen's
  // scrolling background would scroll the town twice.
  MDXSpriteEngine.Dead();
  if (GameScreen != 0 || OverlayWindow != 0 || MDXSpriteEngine.Count() != 0) {
    outcome.Error = "a screen is open: the replay needs the sprite world to itself";
    return outcome;
  }
  const int car = SelectedCar;
  bool over = false;
  size_t point = 0;
  try {
    StartRecordedRace(recording);
    for (const TRecordedTick& tick : recording.Ticks) {
      if (over) {
        outcome.Error = "the recording goes on after its game was over";
        break;
      }
      if (outcome.Ticks >= tickCap) {
        outcome.Error = "the recording is longer than " + std::to_string(tickCap) + " frames";
        break;
      }
      if (draw) MDXSpriteEngine.Draw();
      const TReplayStep step = PlayRecordedTick(tick);
      if (step == rpDiverged) {
        outcome.Error = "the recording does not follow its race at frame " + std::to_string(outcome.Ticks);
        break;
      }
      if (tick.Kind == rtRace && Player != nullptr &&
          (point >= recording.Path.size() || !OnRecordedPath(recording.Path[point++]))) {
        outcome.Error = "the recording's path leaves its race at frame " + std::to_string(outcome.Ticks);
        break;
      }
      over = step == rpGameOver;
      ++outcome.Ticks;
      if (afterTick) afterTick(outcome.Ticks - 1);
    }
  } catch (const ELookupError& e) {
    outcome.Error = std::string("the race cannot start: ") + e.what();
  }
  outcome.Score = Score;
  outcome.Level = Level;
  if (outcome.Error.empty() && (Score != recording.FinalScore || Level != recording.FinalLevel))
    outcome.Error = "the recording ends at score " + std::to_string(recording.FinalScore) + " on level " +
                    std::to_string(recording.FinalLevel) + ", its race at " + std::to_string(Score) + " on level " +
                    std::to_string(Level);
  outcome.Finished = outcome.Error.empty();
  if (OverlayWindow != 0) CloseOverlay();
  CloseRace();
  MDXSpriteEngine.Dead();
  SelectedCar = car;
  return outcome;
}

TReplayOutcome ReplayToEnd(const TRecording& recording, uint32_t tickCap) {
  return PlayRecording(recording, tickCap, false, nullptr);
}
