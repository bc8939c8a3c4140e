#include "race/world/bonuses.h"

#include <algorithm>
#include <string>

#include "race/player/player.h"
#include "race/race_state.h"
#include "race/world/scroll_background.h"
#include "race/world/track_generator.h"
#include "race/world/track_map.h"
#include "shell/random.h"
#include "shell/sound.h"
#include "sprites/image_list.h"
#include "sprites/sprite.h"

TBonus* Bonuses = nullptr;

const char* const BonusImage[9] = {"",       "Bonus10", "Bonus20",   "Bonus50",  "Bonus100",
                                   "BonusL", "BonusN",  "BonusMGnp", "BonusRnp"};
const int BonusPoints[9] = {0, 10, 20, 50, 100, 50, 30, 20, 20};

namespace {

constexpr uint8_t ExtraLife = 5;
// A level never offers more than this many extra lives.
constexpr int MostLives = 2;

const std::string ScoreSound = "Score";
const std::string BonusSound = "Bonus";

int Slots() { return std::clamp(BonusCount, 0, BonusSlots); }

bool PlayerAt(int x, int y) { return Player != nullptr && MDXSpriteEngine.GetSpriteAt(x, y) == Player; }

}  // namespace

TBonus::TBonus() : TMyImageSprite(2, "Bonus10", 0, 0, 5) { PlaceBonuses(); }

void TBonus::PlaceBonuses() {
  for (TPickup& p : Pickup) p.Active = 0;
  int lives = 0;
  const int length = TrackLength;
  const int slots = Slots();
  for (int i = 1; i <= slots; ++i) {
    const int r = Random(length - 54) + 1549 - length;
    for (int c = 1; c <= MapColumns; ++c) {
      if (TileOrGround(r, c) != 1) continue;
      // On a row with two roads the right-hand road's draws stand, but a
      // life drawn for the left one still counts towards the cap.
      TPickup& p = Pickup[i];
      p.Active = 1;
      p.Col = c + 1 + Random(2);
      p.Row = r;
      if (lives < MostLives) {
        p.Type = static_cast<uint8_t>(1 + Random(8));
      } else {
        do {
          p.Type = static_cast<uint8_t>(1 + Random(8));
        } while (p.Type == ExtraLife);
      }
      if (p.Type == ExtraLife) lives += 1;
    }
  }
}

void TBonus::DoMove(int moveCount) {
  (void)moveCount;
  if (Background == nullptr || Player == nullptr) return;
  const int slots = Slots();
  for (int i = 1; i <= slots; ++i) {
    TPickup& p = Pickup[i];
    if (p.Active != 1) continue;
    const int sx = SpriteRound(72.0 * (p.Col - MapCol) + Background->X) + 19;
    const int sy = SpriteRound(72.0 * (p.Row - MapRow) + Background->Y) + 19;
    if (sx < -20 || sx > 720 || sy < -20 || sy > 620) continue;
    if (!(PlayerAt(sx, sy) || PlayerAt(sx + 35, sy) || PlayerAt(sx, sy + 34) || PlayerAt(sx + 35, sy + 34))) continue;
    p.Active = 0;
    const uint8_t type = p.Type >= 1 && p.Type <= 8 ? p.Type : 1;
    AddScore(BonusPoints[type]);
    if (type >= ExtraLife) Player->GiveBonus(static_cast<uint8_t>(type - 4));
    PlaySound(type >= ExtraLife ? BonusSound : ScoreSound);
  }
}

void TBonus::DoDraw() {
  if (Background == nullptr) return;
  TSurface& surface = Engine != nullptr ? *Engine->Surface : BackSurface;
  const int slots = Slots();
  for (int i = 1; i <= slots; ++i) {
    const TPickup& p = Pickup[i];
    if (p.Active != 1 || p.Col < MapCol || p.Col > MapCol + 13 || p.Row < MapRow || p.Row > MapRow + 10) continue;
    const uint8_t type = p.Type >= 1 && p.Type <= 8 ? p.Type : 1;
    TPictureCollectionItem*& picture = Pictures[type];
    if (picture == nullptr) picture = &MDXImageList2.Find(BonusImage[type]);
    picture->Draw(surface, SpriteRound(72.0 * (p.Col - MapCol) + Background->X) + 19,
                  SpriteRound(72.0 * (p.Row - MapRow) + Background->Y) + 19, 0);
  }
}
