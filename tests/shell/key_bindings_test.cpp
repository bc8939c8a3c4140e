// Binding the race's keys: a key or button another action has is refused and
// changes nothing; the race reads what is bound.
#include <gtest/gtest.h>

#include "platform/headless_platform.h"
#include "shell/input.h"
#include "shell/key_bindings.h"

namespace {

class KeyBindingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDefaultBindings();
    Platform = &Machine;
    ResetInput();
  }
  void TearDown() override {
    SetDefaultBindings();
    ResetInput();
    Platform = nullptr;
  }
  THeadlessPlatform Machine;
};

TEST_F(KeyBindingsTest, ATakenKeyIsRefusedAndNothingChanges) {
  int holder = -1;
  EXPECT_EQ(BindKey(raBrake, ScZ, holder), brTaken);
  EXPECT_EQ(holder, raFire);
  // The right Ctrl is the same key to the game as the left, which fires.
  EXPECT_EQ(BindKey(raBrake, ScRightCtrl, holder), brTaken);
  EXPECT_EQ(holder, raFire);
  EXPECT_EQ(BindPadButton(raHorn, pbA, holder), brTaken);
  EXPECT_EQ(holder, raFire);
  for (int reserved : {ScEscape, ScReturn, ScKeypadEnter, ScF11}) EXPECT_EQ(BindKey(raHorn, reserved, holder), brReserved);
  EXPECT_EQ(BindPadButton(raHorn, pbB, holder), brReserved);
  for (int a = 0; a < RaceActionCount; ++a) {
    EXPECT_EQ(Bindings[a].Keys[0], DefaultBindings[a].Keys[0]);
    EXPECT_EQ(Bindings[a].Keys[1], DefaultBindings[a].Keys[1]);
    EXPECT_EQ(Bindings[a].PadButtons[0], DefaultBindings[a].PadButtons[0]);
  }
  EXPECT_TRUE(BindingsSound(Bindings));
}

TEST_F(KeyBindingsTest, TheRaceReadsTheBoundKeysAndButtons) {
  int holder = -1;
  ASSERT_EQ(BindKey(raAccelerate, 26, holder), brBound);  // W
  ASSERT_EQ(BindKey(raFire, ScRightCtrl, holder), brBound);
  ASSERT_EQ(BindKey(raPause, 9, holder), brBound);  // F
  ASSERT_EQ(BindPadButton(raPause, pbBack, holder), brBound);
  Machine.Keys[gkUp] = true;
  Machine.Keys[gkZ] = true;
  Machine.Keys[gkP] = true;
  PollKeys();
  EXPECT_FALSE(ActionHeld[raAccelerate]) << "Up no longer accelerates";
  EXPECT_FALSE(ActionHeld[raFire]) << "nor does Z fire";
  EXPECT_EQ(PressedP, 0) << "nor does P pause";
  Machine.Scancodes[26] = true;
  Machine.Scancodes[ScLeftCtrl] = true;  // as the platform reports either Ctrl
  Machine.PadButtons[pbBack] = true;
  PollKeys();
  EXPECT_TRUE(ActionHeld[raAccelerate]);
  EXPECT_TRUE(ActionHeld[raFire]);
  EXPECT_EQ(PressedP, 1);
  PollKeys();
  EXPECT_EQ(PressedP, 0) << "the pause is an edge, once per press";
  EXPECT_TRUE(ActionHeld[raFire]);
  Machine.PadButtons[pbBack] = false;
  PollKeys();
  Machine.Scancodes[9] = true;
  PollKeys();
  EXPECT_EQ(PressedP, 1) << "the pause's key pauses as its pad button does";
}

TEST_F(KeyBindingsTest, TheDefaultsAreTheGamesOwnKeys) {
  Machine.Keys[gkZ] = true;
  PollKeys();
  EXPECT_TRUE(ActionHeld[raFire]);
  Machine.Keys[gkZ] = false;
  Machine.Scancodes[ScLeftShift] = true;
  Machine.PadButtons[pbRightShoulder] = true;
  PollKeys();
  EXPECT_FALSE(ActionHeld[raFire]);
  EXPECT_TRUE(ActionHeld[raNitro]) << "Shift burns nitro";
  EXPECT_TRUE(ActionHeld[raHandbrake]) << "either shoulder is the handbrake";
}

}  // namespace
