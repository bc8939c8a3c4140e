#include "race/world/pedestrians.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "race/player/player.h"
#include "race/player/player_marks.h"
#include "race/player/rockets.h"
#include "race/race_state.h"
#include "race/world/scroll_background.h"
#include "race/world/track_generator.h"
#include "race/world/track_map.h"
#include "shell/frame_rate.h"
#include "shell/random.h"
#include "shell/sound.h"
#include "sprites/image_list.h"
#include "sprites/quad.h"
#include "sprites/sprite.h"

TMan* Men = nullptr;

namespace {

// Turn choices by walking direction (the walker's own left and right).
struct TTurns {
  uint8_t Straight, Back, Left, Right;
};
const TTurns Turns[5] = {{0, 0, 0, 0}, {1, 2, 4, 3}, {2, 1, 3, 4}, {3, 4, 1, 2}, {4, 3, 2, 1}};
const int StepX[5] = {0, -72, 72, 0, 0};
const int StepY[5] = {0, 0, 0, -72, 72};

// Navigate's table for the tiles that have a rule, by direction 1..4.
struct TSidewalkRule {
  uint8_t Tile;
  uint8_t Choice[5];
};
const TSidewalkRule SidewalkRules[] = {
    {23, {0, 0, 0, 1, 1}}, {24, {0, 1, 1, 0, 0}}, {25, {0, 7, 7, 7, 7}}, {26, {0, 2, 0, 3, 0}},
    {27, {0, 0, 3, 2, 0}}, {28, {0, 0, 2, 0, 3}}, {29, {0, 3, 0, 0, 2}}, {58, {0, 0, 6, 4, 5}},
    {60, {0, 6, 0, 5, 4}},
};

const std::string ManNames[5] = {"Man_Laying", "Man_Left", "Man_Right", "Man_Up", "Man_Down"};
const std::string GirlNames[5] = {"Girl_Laying", "Girl_Left", "Girl_Right", "Girl_Up", "Girl_Down"};
const std::string KillSound = "Kill";
const std::string KillGirlSound = "KillW";

// The town area people may walk in: inside the left edge of column 5 and
// of column 648, the top of row 5 and of row 1498.
constexpr double TownLeft = 360, TownRight = 46656, TownTop = 360, TownBottom = 107856;

constexpr double ScareMs = 1000;
constexpr uint8_t FrightSpeed = 8;

bool IsSidewalk(uint8_t t) { return (t >= 23 && t <= 29) || t == 58 || t == 60; }

uint8_t WalkingSpeed() { return static_cast<uint8_t>(3 + Random(3)); }

bool PlayerAt(int x, int y) {
  return Player != nullptr && MDXSpriteEngine.GetSpriteAt(x, y) == Player;
}

}  // namespace

int Navigate(int d, uint8_t tile) {
  if (tile < 23 || tile > 60 || d < 1 || d > 4) return 0;
  for (const TSidewalkRule& rule : SidewalkRules)
    if (rule.Tile == tile) return rule.Choice[d];
  return 0;
}

uint8_t ApplyChoice(int d, int choice) {
  const TTurns& t = Turns[d >= 1 && d <= 4 ? d : 0];
  switch (choice) {
    case 1:
      return t.Straight;
    case 2:
      return t.Left;
    case 3:
      return t.Right;
    case 4:
      return Random(2) == 0 ? t.Straight : t.Left;
    case 5:
      return Random(2) == 0 ? t.Straight : t.Right;
    case 6:
      return Random(2) == 0 ? t.Left : t.Right;
    case 7: {
      const int k = Random(3);
      return k == 0 ? t.Left : k == 1 ? t.Straight : t.Right;
    }
    default:
      return t.Back;
  }
}

TMan::TMan() : TMyImageSprite(2, "Man_Up", 0, 0, 6) { PlaceMen(); }

void TMan::PlaceMen() {
  for (int i = 1; i <= ManSlots; ++i) {
    // The other fields keep last level's values; an inactive slot is never
    // read.
    Man[i].Active = 0;
    Man[i].IsGirl = 0;
    Man[i].ScareTimer = 0;
    Man[i].Visible = 1;
  }
  int n = 1;
  const int length = TrackLength;
  // Empty until the first row with a road edge; the right-hand sweep starts
  // from the range the left-hand one ended with.
  int first = 1, last = 0;
  for (int sweep = 1; sweep <= 2; ++sweep) {
    for (int r = 1500 - length; r <= 1490; ++r) {
      if (r % 5 != 0) continue;
      for (int c = 50; c <= 600; ++c) {
        const uint8_t t = TileOrGround(r, c);
        if (sweep == 1 && t == 1) {
          first = c - Random(20);
          last = c - 1;
          break;
        }
        // The inner edge of a split road has the other road's left edge
        // beside it: not the town's side.
        if (sweep == 2 && t == 4 && TileOrGround(r, c + 1) != 1) {
          first = c + 1;
          last = c + Random(20);
          break;
        }
      }
      if (n > ManSlots) continue;  // the longest track needs 518 slots
      for (int c = first; c <= last; ++c) {
        const uint8_t t = TileOrGround(r, c);
        if (!IsSidewalk(t)) continue;
        TPedestrian& man = Man[n];
        man.Active = 1;
        man.IsGirl = Random(2) == 1 ? 1 : 0;
        man.X = 72.0 * c + 36;
        man.Y = 72.0 * r;
        switch (t) {
          case 23:
            man.Direction = static_cast<uint8_t>(3 + Random(2));
            break;
          case 24:
            man.Direction = static_cast<uint8_t>(1 + Random(2));
            break;
          case 25:
            man.Direction = static_cast<uint8_t>(1 + Random(4));
            break;
          case 26:
            man.Direction = ManRight;
            break;
          case 27:
            man.Direction = ManLeft;
            break;
          default:
            man.Direction = ManUp;
            break;
        }
        man.NextDirection = man.Direction;
        man.Speed = WalkingSpeed();
        man.AnimPos = Random(4);
        break;
      }
      n += 1;
    }
  }
}

void TMan::Scare() {
  Scared = 1;
  for (int i = 1; i <= ManSlots; ++i) {
    TPedestrian& man = Man[i];
    if (man.Active == 1 && man.Direction != ManLying && man.Visible == 1) {
      man.ScareTimer = ScareMs;
      man.Speed = FrightSpeed;
    }
  }
}

void TMan::Calm() {
  Scared = 0;
  for (int i = 1; i <= ManSlots; ++i) {
    TPedestrian& man = Man[i];
    if (man.Active == 1 && man.Direction != ManLying && man.Visible == 1) {
      man.ScareTimer = 0;
      man.Speed = WalkingSpeed();
    }
  }
}

void TMan::LayDown(int i) {
  TPedestrian& man = Man[i];
  man.X -= 10;
  man.Y -= 10;
  man.Speed = 0;
  man.Direction = ManLying;
  man.AnimPos = 0;
  PlaySound(man.IsGirl ? KillGirlSound : KillSound);
  AddScore(5);
}

void TMan::DoMove(int moveCount) {
  (void)moveCount;
  if (Background == nullptr) return;
  // Whether anyone still runs from the horn after this tick's countdown.
  bool stillFrightened = false;
  for (int i = 1; i <= ManSlots; ++i) {
    TPedestrian& man = Man[i];
    if (man.Active != 1 || man.Direction == ManBlownAway) continue;

    const double a0 = man.AnimPos;
    man.AnimPos += man.Speed * FrameMs / 1000.0;
    if (man.AnimPos > 4) man.AnimPos = 0;  // exactly 4 stays: the fifth picture shows
    const double a1 = man.AnimPos;

    if (!(man.X > TownLeft && man.X < TownRight && man.Y > TownTop && man.Y < TownBottom)) {
      man.Active = 0;  // gone for the level; this step still finishes
    }

    if (Scared && man.ScareTimer > 0) man.ScareTimer -= FrameMs;
    if (man.ScareTimer > 0) stillFrightened = true;

    const int sx = SpriteRound(man.X - 72.0 * MapCol + Background->X) - 27;
    const int sy = SpriteRound(man.Y - 72.0 * MapRow + Background->Y) - 27;
    man.Visible = (sx >= -20 && sx <= 700 && sy >= -20 && sy <= 600) ? 1 : 0;
    if (man.Visible) {
      if (man.Direction != ManLying &&
          (PlayerAt(sx, sy) || PlayerAt(sx + 23, sy) || PlayerAt(sx, sy + 23) || PlayerAt(sx + 23, sy + 23))) {
        LayDown(i);
        Player->ScaleSpeed(0.9);
        // A fresh trail starts with 20 hidden marks; a running one is only
        // topped up.
        if (BloodTrail < 1) {
          BloodTrail = 50;
        } else if (BloodTrail < 30) {
          BloodTrail = 30;
        }
      }
      for (int k = 1; k <= RocketPool; ++k) {
        TRocket* rocket = Rockets[k];
        if (rocket == nullptr || !rocket->Active) continue;
        const TQuad box{{{man.X - 4, man.Y - 4}, {man.X + 30, man.Y - 4}, {man.X - 4, man.Y + 30},
                         {man.X + 30, man.Y + 30}}};
        if (rocket->WorldX < man.X - 40 || rocket->WorldX > man.X + 66 || rocket->WorldY < man.Y - 40 ||
            rocket->WorldY > man.Y + 66 || !PointInQuad(rocket->WorldX, rocket->WorldY, box))
          continue;
        rocket->Explode();
        AddScore(5);
        man.X -= 10;
        man.Y -= 10;
        man.Speed = 0;
        man.Direction = ManBlownAway;
        man.AnimPos = 0;
        break;
      }
    }

    if (man.Direction < ManLeft || man.Direction > ManDown) continue;  // lying or blown away
    int d = man.Direction;
    int dx = StepX[d], dy = StepY[d];
    man.CurCol = SpriteRound(man.X) / 72;
    man.CurRow = SpriteRound(man.Y) / 72;
    if (man.CurCol == man.AheadCol && man.CurRow == man.AheadRow) {
      // Just stepped onto the tile that was ahead: the way on is chosen by
      // that tile, against the turns of the direction walked so far.
      const int before = d;
      man.Direction = man.NextDirection;
      man.NextDirection = ApplyChoice(before, Navigate(man.Direction, TileAt(man.Y, man.X)));
      man.Direction = man.NextDirection;
      d = man.Direction;
      dx = StepX[d];
      dy = StepY[d];
    }
    man.AheadCol = SpriteRound(man.X + dx) / 72;
    man.AheadRow = SpriteRound(man.Y + dy) / 72;
    if (static_cast<int>(a0) != static_cast<int>(a1)) {
      const int step = 2 * man.Speed;
      switch (d) {
        case ManLeft:
          man.X -= step;
          break;
        case ManRight:
          man.X += step;
          break;
        case ManUp:
          man.Y -= step;
          break;
        default:
          man.Y += step;
          break;
      }
    }
  }
  // The fright ends for everyone once the last frightened walker's second
  // has run out: the horn's effect is over when nobody is running from it.
  if (Scared && !stillFrightened) Calm();
}

void TMan::DoDraw() {
  if (Background == nullptr) return;
  TSurface& surface = Engine != nullptr ? *Engine->Surface : BackSurface;
  for (int i = 1; i <= ManSlots; ++i) {
    const TPedestrian& man = Man[i];
    if (man.Direction == ManBlownAway || man.Active != 1 || man.Visible != 1 || man.Direction > ManDown) continue;
    TPictureCollectionItem*& picture = Pictures[man.IsGirl ? 1 : 0][man.Direction];
    if (picture == nullptr) picture = &MDXImageList2.Find((man.IsGirl ? GirlNames : ManNames)[man.Direction]);
    picture->Draw(surface, SpriteRound(man.X - 72.0 * MapCol + Background->X) - 27,
                  SpriteRound(man.Y - 72.0 * MapRow + Background->Y) - 27, static_cast<int>(man.AnimPos));
  }
}
