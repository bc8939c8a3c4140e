#include "race/race.h"

#include <cmath>
#include <cstdio>

#include "gfx/cp1251.h"
#include "gfx/text.h"
#include "platform/platform.h"
#include "race/overlay_windows.h"
#include "race/player/player.h"
#include "race/player/player_weapons.h"
#include "race/player/rockets.h"
#include "race/replay/ghost.h"
#include "race/race_state.h"
#include "race/world/bonuses.h"
#include "race/world/finish_line.h"
#include "race/world/lamps.h"
#include "race/world/pedestrians.h"
#include "race/world/rival_cars.h"
#include "race/world/scroll_background.h"
#include "race/world/scroll_velocity.h"
#include "race/world/track_generator.h"
#include "race/world/track_map.h"
#include "screens/buttons.h"
#include "shell/frame_rate.h"
#include "shell/game_state.h"
#include "shell/input.h"
#include "shell/key_bindings.h"
#include "shell/language.h"
#include "shell/random.h"
#include "shell/sound.h"
#include "sprites/pointer.h"
#include "sprites/sprite.h"

TPointer* Speedometer = nullptr;
TMyImageSprite* PanelSprite = nullptr;
TMyImageSprite* SmallCarSprite = nullptr;
TMyImageSprite* EnergySprite = nullptr;
TMyImageSprite* NitroIconSprite = nullptr;
TMyImageSprite* WeaponIconSprite = nullptr;

namespace {

// What the clock took off on its last tick (see UpdateClock).
int LastClockStepMs = 0;

const TSaid LevelLabel = Said("УРОВЕНЬ ", "LEVEL ");

template <typename TSpriteKind>
void KillAndForget(TSpriteKind*& sprite) {
  if (sprite) sprite->Kill();
  sprite = nullptr;
}

void CopyControls() {
  Player->KeyLeft = ActionHeld[raLeft];
  Player->KeyRight = ActionHeld[raRight];
  Player->KeyUp = ActionHeld[raAccelerate];
  Player->KeyDown = ActionHeld[raBrake];
  Player->KeyHandbrake = ActionHeld[raHandbrake];
  Player->KeyFire = ActionHeld[raFire];
  Player->KeyNitro = ActionHeld[raNitro];
  Player->KeyHorn = ActionHeld[raHorn];
}

// Used-up pickups leave the car; burnt-out nitro goes the same way as a
// dropped one, so the amount ends at 0 and not below.
void ExpirePickups() {
  if (Player->Ammo < 1 && Player->WeaponKind != 0) DropWeapon(Player->WeaponKind);
  if (Player->Nitro <= 0) DropWeapon(2);
}

void HudText(const char* text, int x, int y) { DrawText(text, x, y, true, true); }

// The level's display window on the panel is 150 pixels wide round x = 690.
// From two digits on the line would run out of it at the panel's size, so
// it is printed as many sizes smaller as it needs to stay in the window.
constexpr int LevelTextWidth = 150;

}  // namespace

void SetLevel(int level) {
  Level = level;
  TrackLength = Level <= 5 ? 200 * Level + 100 : 1300;
  TimeLeft = (TrackLength / 100) * 18000;
  if (Level > 7) {
    TimeLeft -= (Level - 7) * 10000;
    if (TimeLeft < 60000) TimeLeft = 60000;
  }
  BonusCount = 10 * Level;
  if (BonusCount > 200) BonusCount = 400;
  CarCount = 10 * Level * Level;
  if (CarCount > 200) CarCount = 200;
  GenerateTrack();
  ++TownsBuilt;
  RefreshBackground();
  GhostLevelStarted();
}

void RefreshBackground() {
  if (!Background) return;
  for (int i = 0; i < 10; ++i)
    for (int j = 0; j < 13; ++j) Background->SetChip(j, i, TileOrGround(MapRow + i, MapCol + j));
}

void StartRace() {
  RaceStartRandomState = RandomSeed();
  ++RacesStarted;
  GameScreen = 6;
  PlayScreenMusic();
  Platform->ShowCursor(false);
  FirstButton = 1;
  LastButton = 0;
  HoverButton = 0;
  Background = new TScrollBackground(2, 10, 13, "Tiles");
  SetLevel(1);
  Lamps = new TLamp();
  ResetLamps();
  Men = new TMan();
  Bonuses = new TBonus();
  Cars = new TCar();
  Finish = new TFinish();
  PanelSprite = TMyImageSprite::CreateAt(2, "Panel", 610, 0, 11);
  Speedometer = new TPointer(2, "Pointer", 1.04, 0.5, 641, 509);
  Speedometer->Angle = -28;
  SmallCarSprite = TMyImageSprite::CreateAt(2, "SmallCar", 773, 177, 12);
  EnergySprite = TMyImageSprite::CreateAt(2, "Energy", 672, 558, 12);
  NitroIconSprite = TMyImageSprite::CreateAt(2, "BonusNitro", 628, 363, 12);
  WeaponIconSprite = TMyImageSprite::CreateAt(2, "BonusM", 627, 251, 12);
  NitroIconSprite->Visible = false;
  WeaponIconSprite->Visible = false;
  Player = new TPlayer(365, 400);
  CreateRockets();
  DrawHud();
  Lives = 3;
  Score = 0;
  RaceEvents = reNone;
  OpenOverlay(6);
}

void StartLevel(bool next) {
  SetLevel(next ? Level + 1 : Level);
  Player->TimeUp = 0;
  Player->EndHandled = 0;
  DropAllWeapons();
  Player->Steer = 0;
  Player->Heading = 0;
  Background->X = 0;
  Background->Y = 0;
  Finish->Crossed = 0;
  Bonuses->PlaceBonuses();
  Men->PlaceMen();
  ResetLamps();
  Cars->PlaceCars();
  PlaceFinish();
  OpenOverlay(6);
  Player->Revive();
  Player->SetEngineSound("Neutral");
}

void ActOnRaceEvents() {
  const uint8_t events = RaceEvents;
  RaceEvents = reNone;
  if (events & reStartPlaced) ResetLamps();
  if (events & reLastLifeLost) OpenOverlay(7);
  if (events & reCarStopped) RaceEndStep();
}

void RaceTick(int moveCount) {
  GhostTick();
  MDXSpriteEngine.Move(moveCount);
  ActOnRaceEvents();
  CopyControls();
  UpdateSpeedometer();
  UpdateClock();
  ExpirePickups();
  RefreshBackground();
  UpdateProgressMarker();
  UpdateScrollVelocity();
  DrawHud();
  UpdateRockets();
  if (PressedEsc) OpenOverlay(2);
  if (PressedP) OpenOverlay(5);
}

void UpdateClock() {
  // The tick sounds for a whole second crossed by the last tick's step. On
  // a very fast display FrameMs varies from tick to tick, so the step is
  // remembered rather than taken to be this tick's.
  if (TimeLeft <= 10000) {
    const int before = (TimeLeft + LastClockStepMs) / 1000;
    const int now = TimeLeft / 1000;
    if (now < before) PlaySound("Tick");
  }
  LastClockStepMs = FrameMs;
  const bool crossed = Finish && Finish->Crossed;
  if (!Player->TimeUp && !crossed && TimeLeft - FrameMs >= 0) TimeLeft -= FrameMs;
  if (FrameMs + 1 >= TimeLeft) Player->TimeUp = 1;
}

void UpdateSpeedometer() {
  int angle = static_cast<int>(std::nearbyint(1.15 * Player->Speed - 28));
  if (angle < -28) angle = -28;
  if (Player->SndShift) angle -= 1;
  Speedometer->Angle = angle;
}

void UpdateProgressMarker() {
  const double h = SmallCarSprite->Height;
  double y = (216 - h) - ((201 - h) / (TrackLength - 60)) * (1490 - MapRow);
  if (y < 15) y = 15;
  SmallCarSprite->Y = y;
  SmallCarSprite->X = 773;
}

void DrawHud() {
  char text[32];
  SetTextStyle(18);
  std::snprintf(text, sizeof text, "%s%d", Say(LevelLabel).c_str(), Level);
  DrawTextWithin(text, 690, 28, LevelTextWidth);
  std::snprintf(text, sizeof text, "%02d : %02d", TimeLeft / 60000, (TimeLeft / 1000) % 60);
  HudText(text, 705, 117);
  std::snprintf(text, sizeof text, "%d", Score);
  HudText(text, 692, 202);
  std::snprintf(text, sizeof text, "%d", Lives < 0 ? 0 : Lives);
  HudText(text, 775, 327);
  if (Player->NitroOn) {
    std::snprintf(text, sizeof text, "%d", static_cast<int>(std::nearbyint(Player->Nitro)));
    HudText(text, 760, 384);
  }
  if (Player->WeaponKind != 0) {
    std::snprintf(text, sizeof text, "%d", Player->Ammo);
    HudText(text, 763, 272);
  }
  const int damage = 3 - Player->Energy;
  EnergySprite->AnimPos = damage >= 0 && damage <= 3 ? damage : 3;
  NitroIconSprite->Visible = Player->NitroOn != 0;
  if (Player->WeaponKind == 3 || Player->WeaponKind == 4) {
    const char* icon = Player->WeaponKind == 3 ? "BonusM" : "BonusR";
    if (WeaponIconSprite->Image->Name != icon) WeaponIconSprite->SetImageByName(icon);
  }
  WeaponIconSprite->Visible = Player->WeaponKind != 0;
}

void RaceEndStep() {
  Player->StopPlayerSounds(true);
  if (TimeLeft >= 0) {
    const int d = 10 * FrameMs;
    if (TimeLeft / 1000 > (TimeLeft - d) / 1000) {
      AddScore(5);
      PlaySound("Tick");
    }
    TimeLeft -= d;
    return;
  }
  if (!Player->TimeUp || (Finish && Finish->Crossed)) {
    StartLevel(true);
    return;
  }
  if (Lives >= 1) {
    Lives -= 1;
    Player->Energy = 3;
  }
  if (Lives > 0) {
    OpenOverlay(3);
  } else {
    Player->Visible = false;
    OpenOverlay(7);
  }
}

void CloseRace() {
  GameScreen = 0;
  KillAndForget(Background);
  if (Player) Player->StopPlayerSounds(true);
  KillAndForget(Lamps);
  KillAndForget(Men);
  KillAndForget(Bonuses);
  KillAndForget(Cars);
  KillAndForget(Finish);
  KillAndForget(PanelSprite);
  KillAndForget(SmallCarSprite);
  KillAndForget(EnergySprite);
  KillAndForget(NitroIconSprite);
  KillAndForget(WeaponIconSprite);
  KillAndForget(Speedometer);
  if (Player) Player->KillWithAttachments();
  Player = nullptr;
  FreeRockets();
  DropGhostRun();
  MDXSpriteEngine.Dead();
}

void ResetRace() {
  Speedometer = nullptr;
  PanelSprite = SmallCarSprite = EnergySprite = NitroIconSprite = WeaponIconSprite = nullptr;
  Player = nullptr;
  Lamps = nullptr;
  Men = nullptr;
  Bonuses = nullptr;
  Cars = nullptr;
  Finish = nullptr;
  for (TRocket*& rocket : Rockets) rocket = nullptr;
  LastClockStepMs = 0;
  DropGhostRun();
  ResetRaceState();
}

void RaceLanguageChanged() {
  if (PanelSprite) PanelSprite->SetImageByName("Panel");
}
