#include "tools/world_dump.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "race/player/rockets.h"
#include "race/race_state.h"
#include "race/world/bonuses.h"
#include "race/world/pedestrians.h"
#include "race/world/rival_cars.h"

namespace {

void Add(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Add(std::string& out, const char* format, ...) {
  char buf[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  out += buf;
}

}  // namespace

std::string DumpWorld() {
  std::string out = "{\"CarCount\":" + std::to_string(CarCount) + ",\"BonusCount\":" + std::to_string(BonusCount);
  out += ",\"Cars\":";
  if (Cars == nullptr) {
    out += "null";
  } else {
    Add(out, "{\"LeftEdgeColumn\":%d,\"RightEdgeColumn\":%d,\"Car\":[", Cars->LeftEdgeColumn, Cars->RightEdgeColumn);
    for (int i = 1; i <= CarSlots; ++i) {
      const TRivalCar& c = Cars->Car[i];
      Add(out,
          "%s{\"i\":%d,\"Kind\":%d,\"Orientation\":%d,\"X\":%.4f,\"Y\":%.4f,\"Speed\":%d,\"OnScreen\":%d,"
          "\"Exploding\":%d,\"ExplosionFrame\":%.4f,\"Touching\":%d}",
          i > 1 ? "," : "", i, c.Kind, c.Orientation, c.X, c.Y, c.Speed, c.OnScreen, c.Exploding, c.ExplosionFrame,
          c.Touching);
    }
    out += "]}";
  }
  out += ",\"Men\":";
  if (Men == nullptr) {
    out += "null";
  } else {
    Add(out, "{\"Scared\":%d,\"Man\":[", Men->Scared);
    for (int i = 1; i <= ManSlots; ++i) {
      const TPedestrian& m = Men->Man[i];
      Add(out,
          "%s{\"i\":%d,\"Active\":%d,\"IsGirl\":%d,\"X\":%.4f,\"Y\":%.4f,\"Direction\":%d,\"NextDirection\":%d,"
          "\"Visible\":%d,\"Speed\":%d,\"AnimPos\":%.4f,\"CurCol\":%d,\"CurRow\":%d,\"AheadCol\":%d,\"AheadRow\":%d,"
          "\"ScareTimer\":%.4f}",
          i > 1 ? "," : "", i, m.Active, m.IsGirl, m.X, m.Y, m.Direction, m.NextDirection, m.Visible, m.Speed,
          m.AnimPos, m.CurCol, m.CurRow, m.AheadCol, m.AheadRow, m.ScareTimer);
    }
    out += "]}";
  }
  out += ",\"Bonuses\":";
  if (Bonuses == nullptr) {
    out += "null";
  } else {
    out += "{\"Bonus\":[";
    for (int i = 1; i <= BonusSlots; ++i) {
      const TPickup& b = Bonuses->Pickup[i];
      Add(out, "%s{\"i\":%d,\"Active\":%d,\"Col\":%d,\"Row\":%d,\"Type\":%d}", i > 1 ? "," : "", i, b.Active, b.Col,
          b.Row, b.Type);
    }
    out += "]}";
  }
  out += ",\"Rockets\":[";
  for (int k = 1; k <= RocketPool; ++k) {
    const TRocket* r = Rockets[k];
    if (k > 1) out += ",";
    if (r == nullptr) {
      out += "null";
      continue;
    }
    Add(out,
        "{\"i\":%d,\"Active\":%d,\"Exploding\":%d,\"WorldX\":%.4f,\"WorldY\":%.4f,\"RocketSpeed\":%d,"
        "\"RocketAngle\":%d,\"X\":%.4f,\"Y\":%.4f}",
        k, r->Active, r->Exploding, r->WorldX, r->WorldY, r->RocketSpeed, r->RocketAngle, r->X, r->Y);
  }
  out += "]}";
  return out;
}

TWorldCounts CountWorld() {
  TWorldCounts n;
  if (Cars != nullptr) {
    const int count = std::clamp(CarCount, 0, CarSlots);
    for (int i = 1; i <= count; ++i) {
      const TRivalCar& c = Cars->Car[i];
      if (c.Orientation == 0) continue;
      ++n.CarsPlaced;
      if (c.Exploding) ++n.CarsExploding;
      else ++n.CarsDriving;
    }
  }
  if (Men != nullptr) {
    for (int i = 1; i <= ManSlots; ++i) {
      const TPedestrian& m = Men->Man[i];
      if (m.Active != 1) continue;
      if (m.Direction == ManLying) ++n.MenLying;
      else if (m.Direction == ManBlownAway) ++n.MenBlownAway;
      else ++n.MenWalking;
    }
  }
  if (Bonuses != nullptr) {
    const int count = std::clamp(BonusCount, 0, BonusSlots);
    for (int i = 1; i <= count; ++i) n.BonusesLeft += Bonuses->Pickup[i].Active == 1;
  }
  for (int k = 1; k <= RocketPool; ++k) n.RocketsActive += Rockets[k] != nullptr && Rockets[k]->Active;
  return n;
}
