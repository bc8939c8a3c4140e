#include <gtest/gtest.h>

#include "platform/headless_platform.h"
#include "shell/counters.h"
#include "shell/input.h"
#include "shell/text_entry.h"

namespace {

TEST(PollKeysTest, PressedOnlyOnTheTickTheKeyWentDown) {
  THeadlessPlatform machine;
  Platform = &machine;
  ResetInput();
  machine.Keys[gkUp] = true;
  machine.Keys[gkEsc] = true;
  PollKeys();
  EXPECT_EQ(PressedUp, 1);
  EXPECT_EQ(PressedEsc, 1);
  EXPECT_EQ(PressedDown, 0);
  PollKeys();  // still held
  EXPECT_EQ(PressedUp, 0);
  EXPECT_EQ(PressedEsc, 0);
  machine.Keys[gkUp] = false;
  PollKeys();
  EXPECT_EQ(PressedUp, 0);
  machine.Keys[gkUp] = true;
  machine.Keys[gkN] = true;
  PollKeys();  // pressed again after a release
  EXPECT_EQ(PressedUp, 1);
  EXPECT_EQ(PressedN, 1);
  Platform = nullptr;
}

TEST(TextEntryTest, NameCharactersAreLettersDigitsAndSpace) {
  for (char c : {'0', '9', 'A', 'Z', 'a', 'z', ' '}) EXPECT_TRUE(IsNameChar(static_cast<unsigned char>(c))) << c;
  for (int c = 192; c <= 255; ++c) EXPECT_TRUE(IsNameChar(static_cast<unsigned char>(c))) << c;
  // Ё and ё, punctuation and control characters are refused.
  for (int c : {0xA8, 0xB8, int('!'), int('_'), int('-'), int('.'), 8, 13, 27, 0}) EXPECT_FALSE(IsNameChar(static_cast<unsigned char>(c))) << c;
}

TEST(TextEntryTest, AppendStopsAtMaxLengthAndDeleteKeepsEmptyText) {
  std::string s = "abcdefghijk";
  AppendChar(s, 'l', 12);
  AppendChar(s, 'm', 12);
  EXPECT_EQ(s, "abcdefghijkl");
  std::string empty;
  DeleteLastChar(empty);
  EXPECT_EQ(empty, "");
  DeleteLastChar(s);
  EXPECT_EQ(s, "abcdefghijk");
}

TEST(CountersTest, WrapAndCapRules) {
  int v = 6;
  EXPECT_TRUE(StepUpWrap(v, 1, 6));
  EXPECT_EQ(v, 1);
  EXPECT_FALSE(StepUpWrap(v, 1, 6));
  EXPECT_EQ(v, 2);
  v = 1;
  EXPECT_TRUE(StepDownWrap(v, 1, 6));
  EXPECT_EQ(v, 6);
  v = 0;  // outside the range restarts at the far end
  EXPECT_TRUE(StepDownWrap(v, 1, 6));
  EXPECT_EQ(v, 6);
  v = 5;
  EXPECT_FALSE(TryDecrease(v, 3, 3));
  EXPECT_EQ(v, 5);
  EXPECT_TRUE(TryDecrease(v, 3, 2));
  EXPECT_EQ(v, 3);
  IncreaseCapped(v, 4, 2);
  EXPECT_EQ(v, 3);
  DecreaseFloored(v, 2, 1);
  EXPECT_EQ(v, 2);
  v = 9;
  ClampToLow(v, 1, 6);
  EXPECT_EQ(v, 1);
  v = -1;
  ClampToHigh(v, 1, 6);
  EXPECT_EQ(v, 6);
}

}  // namespace
