#include "race/replay/replay_watch.h"

#include <cstdio>

#include "gfx/text.h"
#include "race/overlay_windows.h"
#include "race/race.h"
#include "race/replay/replay_run.h"
#include "screens/highscores_screen.h"
#include "screens/main_menu.h"
#include "screens/open_guard.h"
#include "shell/game_state.h"
#include "shell/input.h"
#include "shell/language.h"
#include "shell/random.h"
#include "sprites/lookup_error.h"

namespace {

const TSaid ReplayText = Said("ПОВТОР", "REPLAY");
const TSaid PausedText = Said("ПАУЗА", "PAUSED");

// The speeds the arrows step through, in quarters of the recorded pace.
constexpr int Quarters[] = {1, 2, 4, 8, 16, 32};
constexpr int NormalSpeed = 2;
constexpr int SpeedCount = sizeof Quarters / sizeof *Quarters;

TRecording Watched;
size_t NextTick = 0;
int Speed = NormalSpeed;
int Credit = 0;  // quarters of a recorded frame owed to the replay
bool Paused = false;
// What the replay borrows from the player's game, given back at its end.
int PlayersCar = 1;
uint32_t PlayersRandomState = 0;

void OpenWatchedRace() {
  ReplayWatched = true;
  StartRecordedRace(Watched);
}

void CloseWatchedRace() {
  ReplayWatched = false;
  CloseRace();
}

// One recorded frame; false when the recording has nothing more to play.
bool PlayNext() {
  if (NextTick >= Watched.Ticks.size()) return false;
  return PlayRecordedTick(Watched.Ticks[NextTick++]) == rpPlayed;
}

// On the panel's strip between the nitro box and the speedometer, in the
// panel's own green: "ПОВТОР" and the speed, or that it stands.
void DrawReplayPanel() {
  char speed[16];
  const int q = Quarters[Speed];
  if (q >= 4) std::snprintf(speed, sizeof speed, "x%d", q / 4);
  else std::snprintf(speed, sizeof speed, "x1/%d", 4 / q);
  char text[64];
  std::snprintf(text, sizeof text, "%s  %s", Say(ReplayText).c_str(), Paused ? Say(PausedText).c_str() : speed);
  SetTextStyle(18);
  DrawTextWithin(text, 705, 423, 176);
}

}  // namespace

void WatchFromTable(const TRecording& recording) {
  Watched = recording;
  NextTick = 0;
  Speed = NormalSpeed;
  Credit = 0;
  Paused = false;
  PlayersCar = SelectedCar;
  PlayersRandomState = RandomSeed();
  CloseHighscores();
  OpenScreenOrMenu(OpenWatchedRace, CloseWatchedRace, 2, true);
}

void WatchTick(int lagCount) {
  (void)lagCount;  // the recording's own lag moves the sprites
  if (PressedEsc) return EndWatching();
  if (PressedP) Paused = !Paused;
  if (PressedLeft && Speed > 0) --Speed;
  if (PressedRight && Speed < SpeedCount - 1) ++Speed;
  int played = 0;
  if (!Paused) {
    Credit += Quarters[Speed];
    for (; Credit >= 4; Credit -= 4, ++played) {
      if (!PlayNext()) return EndWatching();
    }
  }
  // The race's own tick prints the panel; a frame without one still shows it.
  if (played == 0) DrawHud();
  DrawReplayPanel();
}

void EndWatching() {
  if (OverlayWindow != 0) CloseOverlay();
  CloseWatchedRace();
  SelectedCar = PlayersCar;
  Randomize(PlayersRandomState);
  OpenMainMenu(0, 1, true);
  CloseMainMenu();
  OpenScreenOrMenu(OpenHighscores, CloseHighscores, 2, false);
}

int WatchQuarters() { return Quarters[Speed]; }
bool WatchPaused() { return Paused; }
const TRecording& WatchedRecording() { return Watched; }
uint32_t WatchedTicks() { return static_cast<uint32_t>(NextTick); }

void ResetWatching() {
  Watched = TRecording{};
  NextTick = 0;
  Speed = NormalSpeed;
  Credit = 0;
  Paused = false;
  ReplayWatched = false;
}
