#include "race/replay/recorder.h"

#include "race/overlay_windows.h"
#include "race/player/player.h"
#include "race/race_state.h"
#include "race/replay/recorded_keys.h"
#include "race/replay/replay_keep.h"
#include "race/replay/replay_run.h"
#include "shell/frame_rate.h"
#include "shell/game_state.h"

namespace {

TRecording Recording;
bool Active = false;     // a race is being recorded
bool Spoiled = false;    // the race was changed from outside its keys
bool HaveOne = false;    // Recording holds a race
bool NameAsked = false;  // the name entry came up: the name is the table's
bool PointOwed = false;  // the last race tick's path point is still to be taken
uint32_t SeenRaces = 0, SeenTowns = 0, SeenResumes = 0;

// Room for this long a race before the lists grow during play.
constexpr int ReservedMinutes = 20;

bool InRace() { return GameScreen == 6 && Player != nullptr && !ReplayWatched; }

// The car's place after the previous race tick: nothing moves it between
// frames, so it is taken when the next frame comes (or the race ends).
void TakeOwedPoint() {
  if (!PointOwed || Player == nullptr) return;
  PointOwed = false;
  double x, y;
  CarTownPosition(x, y);
  TGhostPoint p;
  p.TownX = static_cast<float>(x);
  p.TownY = static_cast<float>(y);
  p.Heading = static_cast<int16_t>(Player->Heading);
  p.Visible = Player->Visible && !Player->Wrecked ? 1 : 0;
  Recording.Path.push_back(p);
}

void NoteNewTowns() {
  if (TownsBuilt == SeenTowns) return;
  SeenTowns = TownsBuilt;
  Recording.Levels.push_back({Level, static_cast<uint32_t>(Recording.Ticks.size()),
                              static_cast<uint32_t>(Recording.Path.size()), TownFingerprint()});
}

void Begin() {
  Active = true;
  HaveOne = true;
  Spoiled = false;
  NameAsked = false;
  PointOwed = false;
  SeenRaces = RacesStarted;
  SeenResumes = RaceResumes;
  Recording = TRecording{};
  Recording.RandomState = RaceStartRandomState;
  Recording.SelectedCar = SelectedCar;
  Recording.RefreshRate = RefreshRate;
  Recording.StartLevel = Level;
  const size_t reserve = static_cast<size_t>(UsableRefreshRate(RefreshRate)) * 60 * ReservedMinutes;
  Recording.Ticks.reserve(reserve);
  Recording.Path.reserve(reserve);
  // The first town was built by the race's start.
  SeenTowns = TownsBuilt - 1;
  NoteNewTowns();
}

void Finish() {
  TakeOwedPoint();
  Active = false;
  PointOwed = false;
  Recording.FinalScore = Score;
  Recording.FinalLevel = Level;
  Recording.Name = NameAsked ? PlayerName : std::string();
  if (!Spoiled) KeepFinishedRecording(Recording);
}

// Starts or ends the recording when the race screen has come or gone.
void Follow() {
  if (Active && (!InRace() || RacesStarted != SeenRaces)) Finish();
  if (ReplayWatched) SeenRaces = RacesStarted;
  if (!Active && InRace() && RacesStarted != SeenRaces) Begin();
}

bool Push(uint8_t kind, int lagCount) {
  if (Recording.Ticks.size() >= MaxRecordedTicks) {
    // Longer than a file may hold: it could not be read back.
    Spoiled = true;
    return false;
  }
  TRecordedTick t;
  t.Kind = kind;
  t.Keys = kind == rtRace ? RecordedKeysHeld() : 0;
  t.LagCount = kind == rtResume ? 0 : lagCount;
  t.FrameMs = FrameMs;
  t.SpeedFactor = SpeedFactor;
  Recording.Ticks.push_back(t);
  return true;
}

}  // namespace

void RecordFrame(int lagCount) {
  Follow();
  if (!Active) return;
  TakeOwedPoint();
  NoteNewTowns();
  for (; SeenResumes != RaceResumes; ++SeenResumes) Push(rtResume, 0);
  switch (OverlayWindow) {
    case 0:
      PointOwed = Push(rtRace, lagCount);
      break;
    case 3:
    case 6:
    case 7: Push(rtWindow, lagCount); break;
    case 8: NameAsked = true; break;
    default: break;  // a pause or a question: the race stands still
  }
}

const TRecording* LatestRecording() {
  Follow();
  if (!HaveOne || Spoiled) return nullptr;
  TakeOwedPoint();
  if (Active) {
    Recording.FinalScore = Score;
    Recording.FinalLevel = Level;
  }
  return &Recording;
}

void SpoilRecording() {
  Follow();
  Spoiled = true;
}

void RecordLevelJump(int level) {
  Follow();
  if (Active && Recording.Ticks.empty()) Recording.StartLevel = level;
  else Spoiled = true;
}

void ResetRecorder() {
  Recording = TRecording{};
  Active = Spoiled = HaveOne = NameAsked = PointOwed = false;
  SeenRaces = RacesStarted;
  SeenTowns = TownsBuilt;
  SeenResumes = RaceResumes;
}
