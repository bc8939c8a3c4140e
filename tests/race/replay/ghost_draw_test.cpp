// The ghost in a town of plain road: where it is drawn, how it keeps pace,
// how it looks, and where it is not drawn at all.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "gfx/blit.h"
#include "race/replay/ghost.h"
#include "race/replay/recording.h"
#include "support/player_test_world.h"

namespace {

constexpr uint32_t Ground = 0x204060;
constexpr uint32_t CarGrey = 0x808080;  // the stand-in car picture
constexpr int CarW = 64, CarH = 156;

class GhostWorld : public PlayerWorld {
 protected:
  void SetUp() override {
    PlayerWorld::SetUp();
    Level = 2;
    Background->X = -20;
    Background->Y = -35;
  }
  void TearDown() override {
    DropGhostRun();
    Level = 0;
    PlayerWorld::TearDown();
  }

  static double TownX(double sx) { return sx + 72.0 * MapCol - Background->X; }
  static double TownY(double sy) { return sy + 72.0 * MapRow - Background->Y; }

  // A run of level 2 in this town, kept at the given movement step a tick:
  // point k stands 30 pixels right and 10 up of point k - 1, starting at
  // screen (150, 400) in the current view.
  static TRecording Run(int points, double pace) {
    TRecording run;
    run.SelectedCar = 1;
    run.Levels.push_back({1, 0, 0, 1234});
    // A tick with the race frozen under a window, as a kept run has them.
    run.Ticks.push_back({rtWindow, 0, 11, 11, pace});
    run.Levels.push_back({2, 1, 0, TownFingerprint()});
    for (int k = 0; k < points; ++k) {
      run.Ticks.push_back({rtRace, rkAccelerate, 11, 11, pace});
      run.Path.push_back({static_cast<float>(TownX(150 + 30 * k)), static_cast<float>(TownY(400 - 10 * k)), 0, 1});
    }
    return run;
  }

  // Draws the ghost alone on plain ground; the box of the pixels it
  // changed, right and bottom exclusive (empty when it drew nothing).
  static TRect DrawOnGround() {
    FillSurface(BackSurface, Ground);
    DrawGhost(BackSurface);
    TRect box{SurfaceWidth, SurfaceHeight, 0, 0};
    for (int y = 0; y < SurfaceHeight; ++y)
      for (int x = 0; x < SurfaceWidth; ++x)
        if (BackSurface.Row(y)[x] != Ground) {
          box.Left = std::min(box.Left, x), box.Top = std::min(box.Top, y);
          box.Right = std::max(box.Right, x + 1), box.Bottom = std::max(box.Bottom, y + 1);
        }
    return box;
  }
  static bool Empty(const TRect& r) { return r.Right <= r.Left; }
};

TEST_F(GhostWorld, HalfTransparentCarAtItsPlaceInTheTown) {
  ASSERT_TRUE(TakeGhostRun(Run(3, 1)));
  GhostLevelStarted();
  GhostTick();
  // The town scrolled since the run was kept here: the ghost stays where
  // the run's car was in the town, not on the screen.
  MapRow -= 1;
  Background->Y += 40;
  const int cx = 150, cy = 400 + 72 + 40;
  const TRect box = DrawOnGround();
  EXPECT_EQ(box.Left, cx - CarW / 2);
  EXPECT_EQ(box.Right, cx + CarW / 2);
  EXPECT_EQ(box.Top, cy - CarH / 2);
  EXPECT_EQ(box.Bottom, cy + CarH / 2);
  const uint32_t half = BlendPixel(CarGrey, Ground, 128);
  ASSERT_NE(half, CarGrey);
  ASSERT_NE(half, Ground);
  for (int y = box.Top; y < box.Bottom; ++y)
    for (int x = box.Left; x < box.Right; ++x) ASSERT_EQ(BackSurface.Row(y)[x], half) << x << "," << y;
}

TEST_F(GhostWorld, TurnedByItsHeading) {
  TRecording run = Run(1, 1);
  run.Path[0].Heading = 64;  // a quarter turn: lying across the road
  ASSERT_TRUE(TakeGhostRun(run));
  GhostLevelStarted();
  GhostTick();
  const TRect box = DrawOnGround();
  EXPECT_NEAR(box.Right - box.Left, CarH, 1);
  EXPECT_NEAR(box.Bottom - box.Top, CarW, 1);
  EXPECT_NEAR((box.Left + box.Right) / 2.0, 150, 1);
  EXPECT_NEAR((box.Top + box.Bottom) / 2.0, 400, 1);
}

// Where the ghost stands after some race ticks of yours, for runs kept at
// one refresh rate and raced at another: it keeps the run's real pace.
struct TPaceCase {
  const char* Name;
  double RunPace;  // the kept run's movement step a tick (85 / its rate)
  double OwnPace;  // yours
  int Ticks;
  int Point;       // the run's point it stands on
};
void PrintTo(const TPaceCase& c, std::ostream* os) { *os << c.Name; }

class GhostPace : public GhostWorld, public testing::WithParamInterface<TPaceCase> {};

TEST_P(GhostPace, StandsOnThePointAsFarIntoItsLevel) {
  const TPaceCase& c = GetParam();
  ASSERT_TRUE(TakeGhostRun(Run(12, c.RunPace)));
  GhostLevelStarted();
  SpeedFactor = c.OwnPace;
  for (int i = 0; i < c.Ticks; ++i) GhostTick();
  SpeedFactor = 1;
  const TRect box = DrawOnGround();
  ASSERT_FALSE(Empty(box));
  EXPECT_EQ((box.Left + box.Right) / 2, 150 + 30 * c.Point);
  EXPECT_EQ((box.Top + box.Bottom) / 2, 400 - 10 * c.Point);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, GhostPace,
    testing::Values(TPaceCase{"BeforeTheFirstTickAtItsStart", 1, 1, 0, 0},
                    TPaceCase{"SameRateSameTick85", 1, 1, 3, 2},
                    TPaceCase{"SameRateSameTick144", 85.0 / 144, 85.0 / 144, 11, 10},
                    TPaceCase{"SameRateSameTick60", 85.0 / 60, 85.0 / 60, 7, 6},
                    TPaceCase{"KeptAt85RacedAt170", 1, 0.5, 5, 1},
                    TPaceCase{"KeptAt60RacedAt85", 85.0 / 60, 1, 3, 1},
                    TPaceCase{"KeptAt144RacedAt60", 85.0 / 144, 85.0 / 60, 4, 8}),
    [](const testing::TestParamInfo<TPaceCase>& info) { return info.param.Name; });

// Runs and moments the ghost is not drawn for, each beside the case that
// differs from it only by the one thing and is drawn.
struct THiddenCase {
  const char* Name;
  std::function<void(TRecording&)> ChangeRun;
  std::function<void()> ChangeTown;
  int Ticks;
  bool Drawn;
};
void PrintTo(const THiddenCase& c, std::ostream* os) { *os << c.Name; }

class GhostShown : public GhostWorld, public testing::WithParamInterface<THiddenCase> {};

TEST_P(GhostShown, OnlyWhereItsRunDroveThen) {
  const THiddenCase& c = GetParam();
  TRecording run = Run(4, 1);
  if (c.ChangeRun) c.ChangeRun(run);
  TakeGhostRun(run);
  if (c.ChangeTown) c.ChangeTown();
  GhostLevelStarted();
  for (int i = 0; i < c.Ticks; ++i) GhostTick();
  EXPECT_EQ(!Empty(DrawOnGround()), c.Drawn);
}

const auto NoChange = [](TRecording&) {};
INSTANTIATE_TEST_SUITE_P(
    Cases, GhostShown,
    testing::Values(THiddenCase{"ItsOwnTown", NoChange, nullptr, 2, true},
                    THiddenCase{"ATownWithOneTileOther", NoChange, [] { Tile(1200, 40) = 7; }, 2, false},
                    THiddenCase{"TheSameTownKeptAsAnotherLevel", [](TRecording& r) { r.Levels[1].Level = 3; },
                                nullptr, 2, false},
                    THiddenCase{"ItsLastPointOfTheLevel", NoChange, nullptr, 4, true},
                    THiddenCase{"ItsRunHasLeftTheLevel", NoChange, nullptr, 5, false},
                    THiddenCase{"ItsCarWreckedThen", [](TRecording& r) { r.Path[1].Visible = 0; }, nullptr, 2, false},
                    THiddenCase{"APathShorterThanItsTicks", [](TRecording& r) { r.Path.pop_back(); }, nullptr, 2,
                                false},
                    THiddenCase{"ALevelStartingPastItsPath", [](TRecording& r) { r.Levels[1].FirstPathPoint = 9; },
                                nullptr, 2, false},
                    THiddenCase{"NoSuchCar", [](TRecording& r) { r.SelectedCar = 7; }, nullptr, 2, false}),
    [](const testing::TestParamInfo<THiddenCase>& info) { return info.param.Name; });

}  // namespace
