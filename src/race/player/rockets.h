#pragma once
// The launcher's rockets: a pool of five sprites made when the race opens.
// A rocket flies straight on from the car until it hits a pedestrian (and
// explodes) or a rival car (and is spent), or leaves the playfield.
#include "sprites/my_image_sprite.h"

constexpr int RocketPool = 5;
// The playfield rockets and the gun ray cross: the panel begins at x 700.
constexpr double PlayfieldRight = 700;
constexpr double PlayfieldBottom = 600;

class TRocket : public TMyImageSprite {
 public:
  // A pooled rocket at (x, y), hidden, with its hidden exhaust flame.
  TRocket(double x, double y, int speed, int angle);
  void DoMove(int moveCount) override;
  void DoDraw() override;

  // Off from screen point (x, y) along angle, speedBonus faster than the car.
  void Launch(double x, double y, int speedBonus, int angle);
  // Blows up where it is and stays there while the world scrolls.
  void Explode();
  // Back into the pool, hidden and out of play.
  void Reset();
  // The race closes: the flame and the rocket go.
  void KillWithFlame();

  TMyImageSprite* Flame = nullptr;
  int RocketSpeed = 0;  // world pixels per tick = RocketSpeed * 0.5 * SpeedFactor
  int RocketAngle = 0;  // 1/256 turn, 0 up the screen
  bool Active = false;
  bool Exploding = false;
  double WorldX = 0, WorldY = 0;  // the hit point, in world pixels
};

// 1..5; null outside a race.
extern TRocket* Rockets[RocketPool + 1];

// The race's calls: the pool made when the race opens and killed when it
// closes; a launch takes the first rocket not in play (none free: the shot
// is lost); once a tick the rockets whose blast ended or that left the
// playfield go back to the pool.
void CreateRockets();
void LaunchRocket(double x, double y, int speedBonus, int angle);
void UpdateRockets();
void FreeRockets();
