#include <cmath>
#include <ostream>

#include "support/player_test_world.h"

namespace {

enum : unsigned { kUp = 1, kDown = 2, kHandbrake = 4, kNitro = 8, kLeft = 16, kRight = 32 };

void SetKeys(unsigned keys) {
  Player->KeyUp = (keys & kUp) != 0;
  Player->KeyDown = (keys & kDown) != 0;
  Player->KeyHandbrake = (keys & kHandbrake) != 0;
  Player->KeyNitro = (keys & kNitro) != 0;
  Player->KeyLeft = (keys & kLeft) != 0;
  Player->KeyRight = (keys & kRight) != 0;
}

struct DriveCase {
  const char* name;
  double speed;
  unsigned keys;
  bool onRoad;
  int ticks;
  double firstDelta;  // the speed's change on the first tick
  double low, high;   // where the speed ends
  int mapRow = 1000;
};
void PrintTo(const DriveCase& c, std::ostream* os) { *os << c.name; }

class DrivingCurve : public PlayerWorld, public testing::WithParamInterface<DriveCase> {};

TEST_P(DrivingCurve, SpeedFollowsTheKeys) {
  const DriveCase& c = GetParam();
  if (!c.onRoad) std::fill(std::begin(TrackMap), std::end(TrackMap), uint8_t{0});
  MapRow = c.mapRow;
  if ((c.keys & kNitro) != 0) Player->GiveBonus(2);
  SetKeys(c.keys);
  SetSpeed(c.speed);
  Tick();
  EXPECT_NEAR(Player->Speed - c.speed, c.firstDelta, 1e-4);
  Tick(c.ticks - 1);
  EXPECT_GE(Player->Speed, c.low);
  EXPECT_LE(Player->Speed, c.high);
  EXPECT_DOUBLE_EQ(Player->Speed10, Player->Speed / 10);
}

INSTANTIATE_TEST_SUITE_P(
    Player, DrivingCurve,
    testing::Values(
        // Full power up to about 38: 120 ticks of 0.3.
        DriveCase{"UpFromRest", 0, kUp, true, 120, 0.3, 36 - 1e-9, 36 + 1e-9},
        // 100 / (150 * sqrt(300)) per tick, then just above 160 for good.
        DriveCase{"UpHoversAt160", 150, kUp, true, 3000, 0.038490, 159.85, 160.04},
        DriveCase{"NitroClimbsTo170", 100, kUp | kNitro, true, 150, 0.6, 170, 170},
        DriveCase{"DownReversesToMinus15", 100, kDown, true, 400, -0.3, -15, -15},
        // 0.6 a tick; below 1 the handbrake holds the car still: 50 - 0.6 * 82 = 0.8.
        DriveCase{"HandbrakeRollsOn", 50, kHandbrake, true, 81, -0.6, 1.4 - 1e-6, 1.4 + 1e-6},
        DriveCase{"HandbrakeStops", 50, kHandbrake, true, 82, -0.6, 0, 0},
        // (0.3 - 100 / (100 * sqrt(200))) / 2 a tick.
        DriveCase{"CoastFrom100", 100, 0, true, 1, -0.114645, 99, 100},
        DriveCase{"ReversingDoesNotCoast", -15, 0, true, 50, 0, -15, -15},
        // 0.5 drag beats the engine above 80, and only there.
        DriveCase{"OffRoadAt120", 120, kUp, false, 400, 100 / (120 * std::sqrt(240.0)) - 0.5, 79.5, 80.2},
        DriveCase{"OffRoadAt70", 70, kUp, false, 1, 100 / (70 * std::sqrt(140.0)), 70, 71},
        DriveCase{"BottomRowCannotReverse", 0, kDown, true, 20, 0, 0, 0, 1490}),
    [](const testing::TestParamInfo<DriveCase>& info) { return std::string(info.param.name); });

struct SteerCase {
  const char* name;
  double speed;
  unsigned keys;
  int ticks;
  double steer;
  int heading;
};
void PrintTo(const SteerCase& c, std::ostream* os) { *os << c.name; }

class Steering : public PlayerWorld, public testing::WithParamInterface<SteerCase> {};

TEST_P(Steering, TurnsByTheRateAndStopsAtAQuarter) {
  const SteerCase& c = GetParam();
  SetKeys(c.keys);
  SetSpeed(c.speed);
  Tick(c.ticks);
  EXPECT_NEAR(Player->Steer, c.steer, 1e-9);
  EXPECT_EQ(Player->Heading, c.heading);
}

INSTANTIATE_TEST_SUITE_P(
    Player, Steering,
    testing::Values(SteerCase{"RightForward", 100, kUp | kRight, 11, 11, 6},  // Round(5.5) is 6
                    SteerCase{"LeftForward", 100, kUp | kLeft, 13, -13, -6},  // Round(-6.5) is -6
                    SteerCase{"LeftInReverseTurnsClockwise", -15, kDown | kLeft, 10, 10, 5},
                    SteerCase{"RightInReverseTurnsAnticlockwise", -15, kDown | kRight, 10, -10, -5},
                    SteerCase{"BothKeysCancel", 100, kUp | kLeft | kRight, 10, 0, 0},
                    SteerCase{"StandingStill", 0, kLeft, 10, 0, 0},
                    SteerCase{"HandbrakeLocksTheWheel", 50, kHandbrake | kLeft, 10, 0, 0},
                    SteerCase{"ClampedRight", 100, kUp | kRight, 300, 128, 64},
                    SteerCase{"ClampedLeftInReverse", -15, kDown | kRight, 300, -128, -64}),
    [](const testing::TestParamInfo<SteerCase>& info) { return std::string(info.param.name); });

TEST_F(PlayerWorld, SlowSpeedsSteerSlowly) {
  // Half rate at 25 forward; full rate from 5 in reverse.
  Player->Speed = 25;
  EXPECT_DOUBLE_EQ(Player->SteerRate(), 0.5);
  Player->Speed = -2.5;
  EXPECT_DOUBLE_EQ(Player->SteerRate(), 0.5);
  Player->Speed = -5;
  EXPECT_DOUBLE_EQ(Player->SteerRate(), 1);
}

// Accelerating from rest: each gear's sound starts once, in its band of
// speeds, and a higher gear waits for a "Shift".
TEST_F(PlayerWorld, EngineSoundsFollowTheGears) {
  struct Band {
    const char* sound;
    double above, upTo;
  };
  const Band expected[] = {{"Accel1", 0, 65},    {"Shift", 65, 67},   {"Accel2", 67, 90},   {"Shift", 95, 97},
                           {"Accel3", 97, 115},  {"Shift", 115, 116}, {"Accel4", 116, 130}, {"Shift", 130, 131},
                           {"Accel4", 131, 142}, {"Shift", 142, 143}, {"Accel4", 143, 157}, {"Maxed", 157, 180}};
  Player->KeyUp = true;
  RecordSoundCalls = true;
  std::vector<std::string> sounds;
  std::vector<double> speeds;
  for (int t = 0; t < 3000; ++t) {
    const double s = Player->Speed;
    Tick();
    for (const std::string& name : TakePlayed()) {
      sounds.push_back(name);
      speeds.push_back(s);
    }
  }
  ASSERT_EQ(sounds.size(), std::size(expected));
  for (size_t i = 0; i < sounds.size(); ++i) {
    EXPECT_EQ(sounds[i], expected[i].sound) << i;
    EXPECT_GT(speeds[i], expected[i].above) << sounds[i];
    EXPECT_LE(speeds[i], expected[i].upTo) << sounds[i];
  }
}

struct SoundCase {
  const char* name;
  double speed;
  unsigned keys;
  bool onRoad;
  int ticks;
  std::vector<std::string> played;
};
void PrintTo(const SoundCase& c, std::ostream* os) { *os << c.name; }

class EngineSound : public PlayerWorld, public testing::WithParamInterface<SoundCase> {};

TEST_P(EngineSound, StartsOnlyOnAChange) {
  const SoundCase& c = GetParam();
  if (!c.onRoad) std::fill(std::begin(TrackMap), std::end(TrackMap), uint8_t{0});
  if ((c.keys & kNitro) != 0) Player->GiveBonus(2);
  SetKeys(c.keys);
  SetSpeed(c.speed);
  RecordSoundCalls = true;
  Tick(c.ticks);
  EXPECT_EQ(TakePlayed(), c.played);
}

INSTANTIATE_TEST_SUITE_P(
    Player, EngineSound,
    testing::Values(SoundCase{"HandbrakeBrakesThenIdles", 50, kHandbrake, true, 120, {"Brake", "Neutral"}},
                    SoundCase{"CoastingSlowsThenIdles", 100, 0, true, 2000, {"Slowed", "Neutral"}},
                    // Braking without Up counts as coasting.
                    SoundCase{"BrakingIntoReverse", 100, kDown, true, 600, {"Slowed", "Neutral"}},
                    SoundCase{"OffTheRoadOnlyIdles", 100, kUp, false, 100, {"Neutral"}},
                    SoundCase{"NitroDrownsTheGears", 100, kUp | kNitro, true, 100, {"Nitro"}}),
    [](const testing::TestParamInfo<SoundCase>& info) { return std::string(info.param.name); });

TEST_F(PlayerWorld, HornSoundsOncePerPress) {
  RecordSoundCalls = true;
  Player->KeyHorn = true;
  Tick(5);
  EXPECT_EQ(TakePlayed(), (std::vector<std::string>{"Neutral", "Horn"}));
  Player->KeyHorn = false;
  Tick();
  EXPECT_FALSE(Player->HornOn);
  Player->KeyHorn = true;
  Tick();
  EXPECT_EQ(TakePlayed(), (std::vector<std::string>{"Horn"}));
}

// Space at 50: pairs of tyre marks under the rear wheels, a new pair once
// the world has carried the last one far enough, and the oldest marks
// freed as they scroll off the bottom of the playfield.
TEST_F(PlayerWorld, HandbrakeLaysMarksThatScrollAway) {
  Player->KeyUp = true;
  SetSpeed(50);
  Tick(10);
  for (int i = 1; i <= MarkSlots; ++i) ASSERT_EQ(MarkUsed[i], 0) << "no marks without the handbrake";

  Player->KeyUp = false;
  Player->KeyHandbrake = true;
  SetSpeed(50);
  Tick();
  ASSERT_EQ(MarkNext, 2);
  EXPECT_EQ(MarkUsed[1] + MarkUsed[2], 2);
  // Under the rear wheels of car 1 (64 x 156 at (365, 400)), worked by
  // hand: 59.309 pixels (the half-diagonal sqrt(78^2 + 32^2) less 25) from
  // the centre (397, 478), at 15.862 units (atan(32 / 78)) either side of
  // straight back, the right wheel turned 4 units further round.
  EXPECT_NEAR(MarkX[1], 374.489, 0.01);
  EXPECT_NEAR(MarkY[1], 532.871, 0.01);
  EXPECT_NEAR(MarkX[2], 414.024, 0.01);
  EXPECT_NEAR(MarkY[2], 534.813, 0.01);
  EXPECT_EQ(MarkShown[2], 1);
  EXPECT_EQ(MarkBlood[2], 0);

  int pairs = 1;
  int lastRight = 2;
  while (Player->Speed > 0) {
    const int before = MarkNext;
    Tick();
    if (MarkNext == before) continue;
    ++pairs;
    // Heading 0: the world moves straight down, so the gap is vertical. At
    // most 12 pixels, plus one tick's travel of 2.5.
    const double gap = MarkY[lastRight] - MarkY[MarkNext];
    EXPECT_GE(gap, 9.5) << "pair " << pairs;
    EXPECT_LE(gap, 14.5) << "pair " << pairs;
    lastRight = MarkNext;
  }
  EXPECT_GE(pairs, 6);
  Tick(20);
  // The first marks scrolled past y 600 and were freed.
  int used = 0;
  for (int i = 1; i <= MarkSlots; ++i) {
    if (MarkUsed[i] == 0) continue;
    ++used;
    EXPECT_LE(MarkY[i], 600);
  }
  EXPECT_GT(used, 0) << "the car stopped, so the latest marks stay in view";
  EXPECT_LT(used, 2 * pairs);
}

TEST(PlayerMarks, PrunedOnlyOffThePlayfield) {
  struct Case {
    double x, y;
    bool kept;
  };
  const Case cases[] = {{0, 300, true},     {-0.1, 300, false}, {700, 300, true},    {700.1, 300, false},
                        {350, -14, true},   {350, -14.1, false}, {350, 600, true},   {350, 600.1, false}};
  ResetMarks();
  for (const Case& c : cases) AddMark(c.x, c.y, 0);
  PruneMarks();
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(MarkUsed[i + 1] != 0, cases[i].kept) << cases[i].x << ", " << cases[i].y;
  }
}

TEST(PlayerMarks, BloodTrailShowsItsLastThirtyMarks) {
  ResetMarks();
  BloodTrail = 50;
  for (int i = 0; i < 50; ++i) AddMark(100, 100, 7);
  int shown = 0, blood = 0;
  for (int i = 1; i <= 50; ++i) {
    shown += MarkShown[i];
    blood += MarkBlood[i];
  }
  EXPECT_EQ(blood, 50);
  EXPECT_EQ(shown, 30);
  EXPECT_EQ(MarkShown[20], 0);
  EXPECT_EQ(MarkShown[21], 1);
  EXPECT_EQ(BloodTrail, 0);
  AddMark(100, 100, 7);
  EXPECT_EQ(MarkBlood[51], 0) << "the trail is used up: a tyre mark";
  EXPECT_EQ(MarkAngle[51], 7);

  for (int i = 0; i < 60; ++i) AddMark(1, 1, 0);
  EXPECT_EQ(MarkNext, 100);
  ClearMark(37);
  AddMark(5, 6, 0);
  EXPECT_EQ(MarkNext, 37) << "the first free slot is taken";
  AddMark(5, 6, 0);
  EXPECT_EQ(MarkNext, 37) << "all slots taken: nothing is laid";
}

TEST_F(PlayerWorld, OnlyRoadTilesCarryTheCar) {
  // Codes 1..22 and 33..35 are road; the sidewalk and everything off the
  // map are not.
  Tile(10, 10) = 22;
  Tile(10, 11) = 23;
  Tile(10, 12) = 33;
  Tile(10, 13) = 36;
  EXPECT_TRUE(TPlayer::IsRoadTile(10 * 72, 10 * 72 + 71));
  EXPECT_FALSE(TPlayer::IsRoadTile(11 * 72, 10 * 72));
  EXPECT_TRUE(TPlayer::IsRoadTile(12 * 72 + 71, 10 * 72));
  EXPECT_FALSE(TPlayer::IsRoadTile(13 * 72, 10 * 72));
  EXPECT_FALSE(TPlayer::IsRoadTile(71, 10 * 72)) << "column 0 lies off the map";
  EXPECT_FALSE(TPlayer::IsRoadTile(-100, -100));
  EXPECT_FALSE(TPlayer::IsRoadTile(651 * 72, 1501 * 72));

  // One corner on the sidewalk is enough to leave the road.
  Tick();
  EXPECT_TRUE(Player->OnRoad);
  const TQuadPoint& rearLeft = Player->Corners.P[3];
  Tile(MapRow + static_cast<int>(rearLeft.Y - Background->Y) / 72,
       MapCol + static_cast<int>(rearLeft.X - Background->X) / 72) = 23;
  Tick();
  EXPECT_FALSE(Player->OnRoad);
}

TEST_F(PlayerWorld, ScrollVelocityFollowsHeadingAndSpeed) {
  SetSpeed(100);
  EXPECT_DOUBLE_EQ(ScrollDX, 0);
  EXPECT_DOUBLE_EQ(ScrollDY, 10) << "forward, straight up: the world moves down";
  Player->Heading = 64;
  UpdateScrollVelocity();
  EXPECT_NEAR(ScrollDX, -10, 1e-9) << "facing right: the world moves left";
  EXPECT_NEAR(ScrollDY, 0, 1e-9);
}

}  // namespace
