#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/script_support.h"

namespace {

// Car selection, then Enter on the preselected start item.
const std::string ToRace = "seed 5\nwait 50\nmouse 400 60\nwait 1\nclick\nwait 2\nkey down Enter\nkey up Enter\nwait 1\n";

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(TownScript, LevelStartsAHeavyLevelAtOnceWithItsWholeTown) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "voltrace2-town-world.json";
  const TScriptResult r = RunScript(ToRace + "level 21\ndump\nwait 185\nkey down Up\nwait 60\ndump\nworld " +
                                    file.string() + "\n");
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 2u);
  const std::string& start = r.Dumps[0];
  EXPECT_EQ(JsonNumber(start, "Level"), 21);
  EXPECT_EQ(JsonNumber(start, "OverlayWindow"), 6) << "the level message";
  EXPECT_EQ(JsonNumber(start, "TimeLeft"), 94000);
  EXPECT_EQ(JsonNumber(start, "CarCount"), 200);
  EXPECT_EQ(JsonNumber(start, "BonusCount"), 400);
  // Rows inside a split or a transition leave a few slots empty.
  EXPECT_LE(JsonNumber(start, "CarsPlaced"), 200);
  EXPECT_GT(JsonNumber(start, "CarsPlaced"), 150);
  EXPECT_EQ(JsonNumber(start, "CarsExploding"), 0);
  EXPECT_GT(JsonNumber(start, "BonusesLeft"), 300);
  EXPECT_GT(JsonNumber(start, "MenWalking"), 150);
  EXPECT_EQ(JsonNumber(start, "MenLying") + JsonNumber(start, "MenBlownAway") + JsonNumber(start, "RocketsActive"), 0);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "OverlayWindow"), 0);
  EXPECT_GT(JsonNumber(r.Dumps[1], "Speed"), 10);

  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  const std::string world = text.str();
  std::filesystem::remove(file);
  EXPECT_EQ(Count(world, "\"Orientation\":"), 200);
  EXPECT_EQ(Count(world, "\"IsGirl\":"), 600);
  EXPECT_EQ(Count(world, "\"Type\":"), 400);
  EXPECT_EQ(Count(world, "\"RocketAngle\":"), 5);
}

TEST(TownScript, BurntOutNitroEndsAtZeroWhateverTheFrameRate) {
  // At 60 Hz each tick burns 0.5 * 85 / 60 of the 100 units: the last
  // burn takes the amount below zero, and expiring it sets it to 0.
  const TScriptResult r = RunScript(ToRace + "refresh 60\nwait 150\ngive 2\ndump\nkey down X\nwait 160\ndump\n");
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 2u);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "NitroOn"), 1);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "Nitro"), 100);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "NitroOn"), 0);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "Nitro"), 0);
}

TEST(TownScript, GiveHandsTheCarAGunThatFiresWhileZIsHeld) {
  const TScriptResult r = RunScript(ToRace + "wait 185\ngive 3\nwait 45\ndump\nkey down Z\nwait 40\ndump\n");
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 2u);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "WeaponKind"), 3);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "WeaponFrame"), 6);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "Ammo"), 25);
  // Shots on the first tick and 19 and 38 ticks later.
  EXPECT_EQ(JsonNumber(r.Dumps[1], "Ammo"), 22);
  EXPECT_NE(JsonText(r.Dumps[1], "Sounds").find("PlaySound MachineGun"), std::string::npos);
}

}  // namespace
