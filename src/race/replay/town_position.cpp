// The town's fingerprint and the car's place in the town, which the
// recorder keeps with every race tick and level and the ghost compares
// against. (Written again here until the recorder's own are merged in; the
// two must stay one computation.)
#include "race/player/player.h"
#include "race/replay/recording.h"
#include "race/world/scroll_background.h"
#include "race/world/track_map.h"

uint32_t TownFingerprint() {
  // FNV-1a over the whole map, row 1 first.
  uint32_t hash = 2166136261u;
  for (uint8_t tile : TrackMap) hash = (hash ^ tile) * 16777619u;
  return hash;
}

void CarTownPosition(double& x, double& y) {
  // The car's centre never leaves its point on the screen; the town's
  // origin moves under it.
  x = Player->CentreX + 72.0 * MapCol - Background->X;
  y = Player->CentreY + 72.0 * MapRow - Background->Y;
}
