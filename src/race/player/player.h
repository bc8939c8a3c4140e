#pragma once
// Folder race/player/: the player's car, its weapons and rockets, damage and
// drawing. Uses the lower folders, race/world/ and the race's numbers
// (race/race_state.h); what the race must act on (the last life lost, the
// car stopped at a level's end, a new start) it reports in RaceEvents and
// never calls the race's flow or its windows.
//
// The player's car. It stays at a fixed point of the screen and only turns;
// the town scrolls under it at a velocity taken from its heading and speed.
// The roadside objects test their own outlines against its Corners and call
// its damage operations.
#include <cstdint>
#include <numbers>
#include <string>

#include "sprites/my_image_sprite.h"
#include "sprites/quad.h"

// Where the race puts the car; it never leaves this point while driving.
constexpr double PlayerScreenX = 365;
constexpr double PlayerScreenY = 400;

// Headings and flight directions are in 1/256 of a full turn.
constexpr double TurnToRadians = 2 * std::numbers::pi / 256;

class TPlayer : public TMyImageSprite {
 public:
  // Creates the car of SelectedCar at (x, y) with its hidden flame and
  // weapon sprites, and empties the marks.
  TPlayer(double x, double y);

  void DoMove(int moveCount) override;
  void DoDraw() override;
  // The race's end: the car and its three attached sprites go.
  void KillWithAttachments();

  // Driving.
  void SteerLeft();
  void SteerRight();
  void ClampSteer();
  double SteerRate() const;
  double AccelerationAt() const;
  double CoastDrag() const;
  void Accelerate();
  void Coast();
  void ApplyBrake();
  void ReleaseBrake();
  void ApplyHandbrake();
  void NitroBoost();
  void BurnNitro();
  // World pixel (x, y) lies on a road tile; points off the map do not.
  static bool IsRoadTile(int x, int y);
  bool CheckOnRoad() const;
  void UpdateAttachedSprites();

  // Engine sounds: at most one runs, recorded by the Snd flags so that a
  // looping sound is started on a change only.
  void SetEngineSound(const std::string& name);
  void UpdateEngineSound();
  void StopPlayerSounds(bool all);
  void ResumePlayerSounds(bool all);

  // Called by the roadside objects on contact.
  void LoseDamagePoint();
  void ScaleSpeed(double k);
  void BounceBack(double k);
  void Wreck();
  void SetWrecked(bool flag);
  void PlaceAtStart();
  void Revive();

  // Weapons and pickups.
  void GiveBonus(uint8_t kind);
  void DropWeapon(uint8_t kind);
  void DropAllWeapons();
  void WeaponUnfold();
  void WeaponFold();
  void FinishShot();
  // One shot of the unfolded weapon, unless it is cooling down.
  void Fire();
  // The machine gun's instant ray from screen point (x, y) along heading h.
  void FireGunRay(int h, double x, double y);

  TMyImageSprite* NitroFlameLeft = nullptr;
  TMyImageSprite* NitroFlameRight = nullptr;
  TMyImageSprite* WeaponSprite = nullptr;
  int WeaponFrame = 1;   // 1..6, 6 unfolded
  int WeaponTimer = 0;   // ms
  bool Shooting = false; // the muzzle image shows
  uint8_t WeaponKind = 0;  // 0 none, 3 machine gun, 4 rockets
  int Ammo = 0;
  int FireCooldown = 0;  // ms
  bool NitroOn = false;
  double Nitro = 0;
  int Energy = 3;  // damage points left
  bool FlameShown = false;  // nitro burned this tick; the draw clears it
  bool TimeUp = false;      // the level clock ran out (set by the race)
  bool EndHandled = false;
  int RespawnTimer = 0;  // ms
  bool StartPlaced = false;
  bool Wrecked = false;
  bool GunSoundOn = false;
  bool HornOn = false;
  // Set by PlaceAtStart: the next tick removes the rival cars around the
  // car so that it does not come back to life inside one.
  bool ClearCarsNearby = false;
  // A push-back already moved the world this tick; the next DoMove only
  // clears it.
  bool Collided = false;
  bool SndMaxed = false, SndAccel = false, SndShift = false, SndSlowed = false, SndNeutral = false,
       SndBrake = false, SndNitro = false;
  double RearLeftX = 0, RearLeftY = 0, RearRightX = 0, RearRightY = 0;
  double RearRadius = 0, RearAngle = 0;
  double CentreX = 0, CentreY = 0;
  double CornerRadius = 0, CornerAngle = 0;
  // The body's outline on screen: front-left, front-right, rear-right,
  // rear-left.
  TQuad Corners;
  double Speed = 0;    // negative while reversing
  double Speed10 = 0;  // Speed / 10
  double Steer = 0;    // 1/512 turn, -128..128
  int Heading = 0;     // Round(Steer / 2), 1/256 turn, -64..64
  double Drag = 0;     // speed lost per tick
  bool KeyLeft = false, KeyRight = false, KeyUp = false, KeyDown = false, KeyHandbrake = false,
       KeyFire = false, KeyNitro = false, KeyHorn = false;
  bool OnRoad = false;  // all four corners stand on road tiles

 private:
  void ComputeCorners();
  void Drive();
  void WreckStep();
  void EndOfLevelStep();
  void ShowWeaponFrame();
  void ClearSoundFlags();
};

extern TPlayer* Player;
