// Where the ghost stands in a town, and which town it is.
#include "race/player/player.h"
#include "race/replay/recording.h"
#include "race/world/scroll_background.h"
#include "race/world/track_map.h"

uint32_t TownFingerprint() {
  // FNV-1a over the whole map: two towns that differ by one tile differ here.
  uint32_t hash = 2166136261u;
  for (uint8_t tile : TrackMap) hash = (hash ^ tile) * 16777619u;
  return hash;
}

void CarTownPosition(double& x, double& y) {
  // The car stays put on the screen; the town moves under it by whole tiles
  // (MapCol, MapRow) and by the road sprite's offset within one.
  x = Player->CentreX + TileSize * MapCol - (Background ? Background->X : 0);
  y = Player->CentreY + TileSize * MapRow - (Background ? Background->Y : 0);
}
