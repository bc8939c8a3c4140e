#include "race/world/lamps.h"

#include <cmath>

#include "gfx/surface.h"
#include "race/player/player.h"
#include "race/world/scroll_background.h"
#include "race/world/track_map.h"
#include "sprites/image_list.h"
#include "sprites/quad.h"

TLamp* Lamps = nullptr;

namespace {

// The road-edge tiles that carry a lamp on every fifth map row: the
// picture, where it is drawn in the tile, and where its post stands.
struct TLampKind {
  uint8_t Tile;
  const char* Picture;
  int DrawDX;
  int PostDX, PostDY;
};
const TLampKind LampKinds[10] = {
    {1, "Lamp_L", 12, 12, 9},    {4, "Lamp_R", -28, 56, 9},    {5, "Lamp_RL", 42, 43, 1},   {8, "Lamp_RR", 0, 73, 41},
    {9, "Lamp_RL", 8, 9, 1},     {12, "Lamp_RR", -36, 37, 41}, {13, "Lamp_LR", -48, 26, 1}, {16, "Lamp_LL", -6, -8, 41},
    {17, "Lamp_LR", -12, 62, 1}, {20, "Lamp_LL", 30, 31, 40}};

// Tile code -> index into LampKinds, -1 for tiles without a lamp.
int8_t KindOfTile[256];
TPictureCollectionItem* Pictures[10];

template <class F>
void ForEachLampInView(F&& visit) {
  for (int i = 0; i <= 9; ++i) {
    const int row = MapRow + i;
    if (row % 5 != 0) continue;
    for (int j = 0; j <= 12; ++j) {
      const int kind = KindOfTile[TileOrGround(row, MapCol + j)];
      if (kind >= 0) visit(i, j, LampKinds[kind], kind);
    }
  }
}

double RoundHalfEven(double v) { return std::nearbyint(v); }

}  // namespace

TLamp::TLamp() : TMyImageSprite(2, "Lamp_L", 0, 0, 9) {
  for (auto& k : KindOfTile) k = -1;
  for (int k = 0; k < 10; ++k) {
    KindOfTile[LampKinds[k].Tile] = static_cast<int8_t>(k);
    Pictures[k] = &MDXImageList2.Find(LampKinds[k].Picture);
  }
}

void TLamp::DoMove(int moveCount) {
  (void)moveCount;
  if (!Player || !Background) return;
  ForEachLampInView([](int i, int j, const TLampKind& lamp, int) {
    const double px = RoundHalfEven(72 * j + Background->X + lamp.PostDX);
    const double py = RoundHalfEven(72 * i + Background->Y + lamp.PostDY);
    if (!PointInQuad(px, py, Player->Corners) || Player->Energy <= 0 || Player->Wrecked) return;
    // A lamp post stops the car like a wall.
    if (Player->Speed > 0) Player->BounceBack(-100);
    else Player->ScaleSpeed(-1);
    Player->LoseDamagePoint();
  });
}

void TLamp::DoDraw() {
  if (!Background) return;
  ForEachLampInView([](int i, int j, const TLampKind& lamp, int kind) {
    const int x = static_cast<int>(RoundHalfEven(72 * j + Background->X + lamp.DrawDX));
    const int y = static_cast<int>(RoundHalfEven(72 * i + Background->Y));
    Pictures[kind]->Draw(BackSurface, x, y, 0);
  });
}

// The lamps are implied by the map, so a new start needs nothing of them.
void ResetLamps() {}
