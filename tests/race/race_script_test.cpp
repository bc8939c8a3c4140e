#include <gtest/gtest.h>

#include <string>

#include "support/script_support.h"

namespace {

// Car selection, then Enter on the preselected start item.
const std::string ToRace = "seed 5\nwait 50\nmouse 400 60\nwait 1\nclick\nwait 2\nkey down Enter\nkey up Enter\nwait 1\n";

std::string Press(const char* key) { return std::string("key down ") + key + "\nwait 1\nkey up " + key + "\nwait 1\n"; }

TEST(RaceScript, ARaceStartsFrozenUnderTheLevelMessageThenDrives) {
  const TScriptResult r = RunScript(ToRace +
                                    "dump\n"
                                    "wait 180\ndump\n"  // 2000 ms at 11 ms a tick: the message closes on tick 182
                                    "wait 3\ndump\n"
                                    "key down Up\nwait 100\ndump\n");
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 4u);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "GameScreen"), 6);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "OverlayWindow"), 6);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "Level"), 1);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "TimeLeft"), 54000);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "Lives"), 3);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "MapRow"), 1488);
  EXPECT_EQ(JsonText(r.Dumps[0], "Music"), "\"Data/Music/Race.xm\"");
  EXPECT_EQ(JsonNumber(r.Dumps[1], "OverlayWindow"), 6);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "TimeLeft"), 54000) << "the clock stands still under the message";
  EXPECT_EQ(JsonNumber(r.Dumps[2], "OverlayWindow"), 0);
  EXPECT_GT(JsonNumber(r.Dumps[3], "Speed"), 25);
  EXPECT_LT(JsonNumber(r.Dumps[3], "TimeLeft"), 54000);
  EXPECT_LT(JsonNumber(r.Dumps[3], "MapRow"), 1488) << "the town scrolls under the car";
}

TEST(RaceScript, PauseAndTheLeaveQuestion) {
  const TScriptResult r = RunScript(ToRace + "wait 190\n" + Press("P") + "dump\n" + Press("Esc") + "dump\n" +
                                    Press("Esc") + "dump\n" + Press("N") + "dump\n" + Press("Esc") + "dump\n" +
                                    Press("Y") + "dump\n");
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 6u);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "OverlayWindow"), 5);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "OverlayWindow"), 0) << "Esc ends the pause and nothing else";
  EXPECT_EQ(JsonNumber(r.Dumps[2], "OverlayWindow"), 2);
  EXPECT_EQ(JsonNumber(r.Dumps[3], "OverlayWindow"), 0);
  EXPECT_EQ(JsonNumber(r.Dumps[3], "GameScreen"), 6);
  EXPECT_EQ(JsonNumber(r.Dumps[5], "GameScreen"), 1) << "a score of 0 goes straight back to the menu";
  EXPECT_EQ(JsonText(r.Dumps[5], "Music"), "\"Data/Music/Menu.xm\"");
}

TEST(RaceScript, AltEnterDuringTheRacePausesFirst) {
  const TScriptResult r =
      RunScript(ToRace + "wait 190\nkey down Alt\nkey down Enter\nkey up Enter\nkey up Alt\nwait 1\ndump\n");
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 1u);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "OverlayWindow"), 5);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "FullScreen"), 1);
}

}  // namespace
