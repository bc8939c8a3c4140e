#include "race/replay/ghost.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "gfx/blit.h"
#include "gfx/surface.h"
#include "race/player/car_tables.h"
#include "race/player/player.h"
#include "race/race_state.h"
#include "race/replay/replay_run.h"
#include "race/world/scroll_background.h"
#include "race/world/track_map.h"
#include "shell/player_settings.h"
#include "shell/random.h"
#include "sprites/image_list.h"
#include "sprites/tick_scale.h"

namespace {

// Every race starts at level 1, so the ghost is the kept best game begun there.
bool KeptBestRun(TRecording& out) { return KeptRecording("best-1", out); }

TRecording Run;
bool HaveRun = false;
// The movement step of each path point's tick, in the path's order.
std::vector<double> Pace;

// The run's part in the current town: path points First..End - 1.
bool LevelShown = false;
uint32_t First = 0, End = 0;
// Movement since the level's first race tick: yours, and the ghost's up to
// the Taken-th point of its level.
double Driven = 0, GhostDriven = 0;
uint32_t Taken = 0;

// The car picture turned into a square of its own first, then laid over
// the town half-transparent: the blit that blends does not turn.
TSurface Turned;
const TPictureCollectionItem* CarPicture = nullptr;
uint32_t TurnedKey = 0;

bool PathFitsTicks(const TRecording& run) {
  if (run.SelectedCar < 1 || run.SelectedCar > PlayerCarCount) return false;
  size_t raceTicks = 0;
  for (const TRecordedTick& t : run.Ticks) raceTicks += t.Kind == rtRace;
  if (raceTicks != run.Path.size()) return false;
  uint32_t previous = 0;
  for (const TRecordedLevel& l : run.Levels) {
    if (l.FirstPathPoint < previous || l.FirstPathPoint > run.Path.size()) return false;
    previous = l.FirstPathPoint;
  }
  return true;
}

// Where the ghost is shown now, in town pixels and heading; false when it
// is not shown.
bool GhostPlace(double& townX, double& townY, int& heading) {
  if (!LevelShown) return false;
  // Past its level's last point the ghost has driven on (or its game ended
  // there): it has no place in this town any more.
  if (First + Taken == End && Driven > GhostDriven) return false;
  const TGhostPoint& p = Run.Path[Taken == 0 ? First : First + Taken - 1];
  if (!p.Visible) return false;
  townX = p.TownX;
  townY = p.TownY;
  heading = p.Heading;
  return true;
}

}  // namespace

bool (*ReadBestRun)(TRecording& out) = KeptBestRun;

void PrepareGhostForRace() {
  DropGhostRun();
  if (!GhostOn) return;
  TRecording best;
  if (!ReadBestRun(best) || !TakeGhostRun(best)) return;
  Randomize(Run.RandomState);
}

bool TakeGhostRun(const TRecording& run) {
  DropGhostRun();
  if (!PathFitsTicks(run)) return false;
  Run = run;
  Pace.clear();
  Pace.reserve(Run.Path.size());
  for (const TRecordedTick& t : Run.Ticks)
    if (t.Kind == rtRace) Pace.push_back(t.SpeedFactor);
  HaveRun = true;
  return true;
}

void DropGhostRun() {
  HaveRun = false;
  LevelShown = false;
  CarPicture = nullptr;
}

bool HaveGhostRun() { return HaveRun; }

void GhostLevelStarted() {
  LevelShown = false;
  Driven = GhostDriven = 0;
  Taken = 0;
  if (!HaveRun) return;
  const uint32_t town = TownFingerprint();
  for (size_t i = 0; i < Run.Levels.size(); ++i) {
    const TRecordedLevel& l = Run.Levels[i];
    if (l.Level != Level || l.TownFingerprint != town) continue;
    First = l.FirstPathPoint;
    End = i + 1 < Run.Levels.size() ? Run.Levels[i + 1].FirstPathPoint : static_cast<uint32_t>(Run.Path.size());
    LevelShown = First < End;
    break;
  }
  if (!LevelShown || CarPicture) return;
  // Made once a race, big enough for the car at any heading.
  CarPicture = &MDXImageList2.Find(CarImage[Run.SelectedCar]);
  const int side = static_cast<int>(std::ceil(std::hypot(CarPicture->Width(), CarPicture->Height()))) + 2;
  Turned.Resize(side, side);
  const TPixelView view = CarPicture->Pattern(0);
  TurnedKey = view.Keyed ? view.Key : 0xFF00FFu;
}

void GhostTick() {
  if (!LevelShown) return;
  Driven += SpeedFactor;
  while (First + Taken < End && GhostDriven + Pace[First + Taken] <= Driven) {
    GhostDriven += Pace[First + Taken];
    ++Taken;
  }
}

void DrawGhost(TSurface& surface) {
  double townX, townY;
  int heading;
  if (!CarPicture || !Background || !GhostPlace(townX, townY, heading)) return;
  const int x = static_cast<int>(std::nearbyint(townX - TileSize * MapCol + Background->X));
  const int y = static_cast<int>(std::nearbyint(townY - TileSize * MapRow + Background->Y));
  const int side = Turned.Width;
  // Off the screen by more than the car's reach: nothing to draw.
  if (x + side < 0 || y + side < 0 || x - side > surface.Width || y - side > surface.Height) return;
  // Only the box the turned car covers is cleared, turned into and laid
  // over the town: driving up the road that is the car's own size.
  const int w = CarPicture->Width(), h = CarPicture->Height();
  const double a = heading * TurnToRadians;
  const double sn = std::abs(std::sin(a)), cs = std::abs(std::cos(a));
  const int boxW = std::min(side, static_cast<int>(std::ceil(w * cs + h * sn)) + 2);
  const int boxH = std::min(side, static_cast<int>(std::ceil(w * sn + h * cs)) + 2);
  for (int row = 0; row < boxH; ++row) std::fill(Turned.Row(row), Turned.Row(row) + boxW, TurnedKey);
  CarPicture->DrawRotate(Turned, boxW / 2, boxH / 2, w, h, 0, 0.5, 0.5, heading);
  const TPixelView turned{Turned.Pixels.data(), side, boxW, boxH, true, TurnedKey};
  const TRect place{x - boxW / 2, y - boxH / 2, x - boxW / 2 + boxW, y - boxH / 2 + boxH};
  DrawPatternAlpha(surface, place, turned, GhostAlpha);
}
