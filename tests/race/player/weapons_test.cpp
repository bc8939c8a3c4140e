#include "race/player/player_weapons.h"
#include "support/town_test_world.h"

namespace {

class Weapons : public TownWorld {
 protected:
  void SetUp() override {
    TownWorld::SetUp();
    CreateRockets();
  }

  // Picks the weapon up and lets it unfold: frame 2 on the first tick, then
  // one frame per 100 ms (ten ticks of 11 ms).
  void Arm(uint8_t kind) {
    Player->GiveBonus(kind);
    Tick(41);
    ASSERT_EQ(Player->WeaponFrame, 6);
  }
};

TEST_F(Weapons, HeldFireShootsTheGunEvery19TicksAt85HzUntilThe25RoundsAreGone) {
  Arm(WeaponGun);
  TakePlayed();
  RecordSoundCalls = true;
  Player->KeyFire = true;
  std::vector<int> shots;
  int ammo = Player->Ammo;
  for (int t = 0; t < 600; ++t) {
    Tick();
    if (Player->Ammo != ammo) shots.push_back(t);
    ammo = Player->Ammo;
    EXPECT_TRUE(shots.empty() || Player->Ammo == 0 || Player->GunSoundOn) << t;
  }
  ASSERT_EQ(shots.size(), 25u);
  for (size_t k = 1; k < shots.size(); ++k) EXPECT_EQ(shots[k] - shots[k - 1], 19) << k;
  EXPECT_EQ(Player->Ammo, 0);
  const std::vector<std::string> played = TakePlayed();
  EXPECT_EQ(std::count(played.begin(), played.end(), "MachineGun"), 1);
  // Out of rounds, the gun folds away and its sound stops.
  EXPECT_FALSE(Player->GunSoundOn);
}

TEST_F(Weapons, ReleasingFireStopsTheGunSound) {
  Arm(WeaponGun);
  Player->KeyFire = true;
  Tick(3);
  EXPECT_TRUE(Player->GunSoundOn);
  Player->KeyFire = false;
  RecordSoundCalls = true;
  TakePlayed();
  Tick();
  EXPECT_FALSE(Player->GunSoundOn);
  EXPECT_NE(std::find(SoundCalls.begin(), SoundCalls.end(), "StopSound MachineGun"), SoundCalls.end());
}

TEST_F(Weapons, RocketsLeaveFromBehindTheCarRightThenLeft) {
  Arm(WeaponRockets);
  Player->KeyFire = true;
  // 500 ms between rockets: 46 ticks of 11 ms.
  Tick(1);
  EXPECT_EQ(Player->Ammo, 19);
  ASSERT_TRUE(Rockets[1]->Active);
  Tick(45);
  EXPECT_EQ(Player->Ammo, 19);
  Tick(1);
  EXPECT_EQ(Player->Ammo, 18);
  ASSERT_TRUE(Rockets[2]->Active);
  // 55 pixels from the car's middle (397, 478) at 121 degrees either side
  // of straight ahead: right (438, 506), then left (343, 506).
  EXPECT_EQ(Rockets[1]->X, 438);
  EXPECT_EQ(Rockets[2]->X, 343);
  // Standing still, a rocket flies 18 / 2 = 9 pixels a tick; it has had
  // one tick of flight.
  EXPECT_EQ(Rockets[2]->Y, 506 - 9);
  EXPECT_EQ(Rockets[1]->RocketAngle, 0);
}

TEST_F(Weapons, ARocketFiredAt160Flies17PixelsATick) {
  SetSpeed(160);
  LaunchRocket(300, 300, 18, 0);
  EXPECT_EQ(Rockets[1]->RocketSpeed, 34);
  const double y = Rockets[1]->WorldY;
  Rockets[1]->DoMove(11);
  EXPECT_DOUBLE_EQ(Rockets[1]->WorldY, y - 17);
  // Turned a quarter to the right it flies right.
  LaunchRocket(300, 300, 18, 64);
  const double x = Rockets[2]->WorldX;
  Rockets[2]->DoMove(11);
  EXPECT_NEAR(Rockets[2]->WorldX, x + 17, 1e-9);
}

TEST_F(Weapons, WithAllFiveInFlightTheShotIsLostButPaidFor) {
  Player->GiveBonus(WeaponRockets);
  Player->WeaponFrame = 6;
  for (int n = 0; n < 6; ++n) {
    Player->FireCooldown = 0;
    Player->Fire();
  }
  EXPECT_EQ(Player->Ammo, 14);
  EXPECT_EQ(Player->FireCooldown, 500);
  for (int k = 1; k <= RocketPool; ++k) EXPECT_TRUE(Rockets[k]->Active) << k;
}

TEST_F(Weapons, RocketsLeaveThePlayfieldOrBurnOutBackIntoThePool) {
  for (const auto& [x, y, kept] : {std::tuple{688.0, 300.0, true}, std::tuple{689.0, 300.0, false},
                                   std::tuple{0.0, 300.0, true}, std::tuple{-1.0, 300.0, false},
                                   std::tuple{300.0, 600.0, true}, std::tuple{300.0, 601.0, false},
                                   std::tuple{300.0, -54.0, true}, std::tuple{300.0, -55.0, false}}) {
    // 12 x 30 with a 24-high flame: gone past x + 12 > 700 or y + 54 < 0.
    TRocket* r = Rockets[1];
    r->Reset();
    r->Launch(x, y, 0, 0);
    UpdateRockets();
    EXPECT_EQ(r->Active, kept) << x << "," << y;
  }
  TRocket* r = Rockets[1];
  r->Reset();
  r->Launch(300, 300, 0, 0);
  r->Explode();
  EXPECT_EQ(r->RocketSpeed, 0);
  int ticks = 0;
  while (r->Active && ticks < 100) {
    r->DoMove(11);
    UpdateRockets();
    ++ticks;
  }
  // Eight blast pictures at 0.2 a tick, the rate taking hold after the
  // first tick: past 7.5 on the 39th, where the animation wraps.
  EXPECT_EQ(ticks, 39);
  EXPECT_EQ(r->Y, -1000);
}

TEST_F(Weapons, FireSendsTheGunRayFromTheCarsCentreAlongItsHeading) {
  Men = new TMan();
  // The 64 x 156 car at (365, 400) has its centre at (397, 478). Each walker
  // stands where only a ray from the centre along the heading reaches its
  // 100-pixel box: below the car's top edge and right of its left edge
  // going up, below its top edge going right.
  struct TShot {
    int Heading;
    double ManX, ManY;
  };
  for (const TShot shot : {TShot{0, 444, 522}, TShot{64, 520, 523}}) {
    for (TPedestrian& m : Men->Man) m = TPedestrian{};
    TPedestrian& m = Men->Man[1];
    m.Active = m.Visible = 1;
    m.Direction = ManUp;
    m.Speed = 4;
    m.X = WorldX(shot.ManX);
    m.Y = WorldY(shot.ManY);
    Player->GiveBonus(WeaponGun);
    Player->WeaponFrame = 6;
    Player->FireCooldown = 0;
    Player->Steer = 2 * shot.Heading;
    Player->Heading = shot.Heading;
    Score = 0;
    Player->Fire();
    EXPECT_EQ(m.Direction, ManLying) << "heading " << shot.Heading;
    EXPECT_EQ(Score, 5) << "heading " << shot.Heading;
  }
}

TEST_F(Weapons, TheGunRayLaysDownEveryoneInItsBoxAndStopsThere) {
  Men = new TMan();
  Cars = new TCar();
  for (TPedestrian& m : Men->Man) m = TPedestrian{};
  // Two walkers ahead of the car, both coming within 50 pixels of the ray
  // on its tenth step (50 pixels up from the car's middle at (397, 478));
  // a car beyond them.
  const double where[3][2] = {{0, 0}, {397, 380}, {430, 380}};
  for (int i = 1; i <= 2; ++i) {
    TPedestrian& m = Men->Man[i];
    m.Active = m.Visible = 1;
    m.Direction = ManUp;
    m.Speed = 4;
    m.X = WorldX(where[i][0]);
    m.Y = WorldY(where[i][1]);
  }
  CarCount = 1;
  std::fill(std::begin(Cars->Car), std::end(Cars->Car), TRivalCar{});
  Cars->Car[1] = TRivalCar{1, 3, WorldX(349), WorldY(100), 6, 1, 0, 0, 0};
  Score = 0;
  Player->FireGunRay(0, 397, 478);
  EXPECT_EQ(Men->Man[1].Direction, ManLying);
  EXPECT_EQ(Men->Man[2].Direction, ManLying);
  EXPECT_EQ(Score, 10);
  EXPECT_EQ(Cars->Car[1].Exploding, 0);
  // Nothing in the way now: the next ray reaches the car.
  Player->FireGunRay(0, 397, 478);
  EXPECT_EQ(Score, 20);
  EXPECT_EQ(Cars->Car[1].Exploding, 1);
  EXPECT_EQ(Cars->Car[1].Speed, 0);
  // A burning car stops no ray.
  Player->FireGunRay(0, 397, 478);
  EXPECT_EQ(Score, 20);
}

}  // namespace
