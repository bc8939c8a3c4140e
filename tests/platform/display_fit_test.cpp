#include "platform/display_fit.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Every figure worked by hand from the 792 x 592 picture: the limiting side
// fills the output, the other keeps the picture's shape rounded to the
// nearest pixel, the bars split evenly (the odd pixel to the right or
// bottom), and the whole factor is the largest that fits both sides.
struct TFitCase {
  int OutWidth, OutHeight, MaxTexture;
  int X, Y, Width, Height, Prescale;
  bool Smooth;
};

class DisplayFitTest : public ::testing::TestWithParam<TFitCase> {};

TEST_P(DisplayFitTest, PictureLandsWhereExpected) {
  const TFitCase& c = GetParam();
  const TDisplayFit fit = FitPicture(c.OutWidth, c.OutHeight, 792, 592, c.MaxTexture);
  EXPECT_EQ(fit.X, c.X);
  EXPECT_EQ(fit.Y, c.Y);
  EXPECT_EQ(fit.Width, c.Width);
  EXPECT_EQ(fit.Height, c.Height);
  EXPECT_EQ(fit.Prescale, c.Prescale);
  EXPECT_EQ(fit.Smooth, c.Smooth);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, DisplayFitTest,
    ::testing::Values(
        TFitCase{792, 592, 0, 0, 0, 792, 592, 1, false},          // the window
        TFitCase{800, 600, 0, 4, 4, 792, 592, 1, false},          // 1.0101: the old full screen, pixel for pixel
        TFitCase{1584, 1184, 0, 0, 0, 1584, 1184, 2, false},      // exactly double
        TFitCase{1600, 1200, 0, 8, 8, 1584, 1184, 2, false},      // 2.0202 stays at 2
        TFitCase{1920, 1080, 0, 237, 0, 1445, 1080, 1, true},     // 1080 / 592 = 1.824; 1444.86 rounds up
        TFitCase{2560, 1440, 0, 317, 0, 1926, 1440, 2, true},     // 2.432: double, then smooth to 1926.49
        TFitCase{3840, 2160, 0, 475, 0, 2890, 2160, 3, true},     // 3.649: triple, then smooth
        TFitCase{3840, 2160, 2048, 475, 0, 2890, 2160, 2, true},  // a renderer holding 2048 at most
        TFitCase{2376, 1776, 0, 0, 0, 2376, 1776, 3, false},      // exactly triple
        TFitCase{640, 480, 0, 0, 1, 640, 478, 1, true},           // smaller than the picture: 478.38
        TFitCase{1024, 768, 0, 0, 1, 1024, 765, 1, true}),        // 765.41
    [](const ::testing::TestParamInfo<TFitCase>& info) {
      const TFitCase& c = info.param;
      return std::to_string(c.OutWidth) + "x" + std::to_string(c.OutHeight) +
             (c.MaxTexture ? "_max" + std::to_string(c.MaxTexture) : std::string());
    });

TEST(DisplayFitTest, PointsOfTheOutputMapToThePicture) {
  const TDisplayFit fit = FitPicture(1920, 1080, 792, 592);
  int x = -1, y = -1;
  EXPECT_TRUE(OutputToPicture(fit, 792, 592, 237, 0, x, y));
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_TRUE(OutputToPicture(fit, 792, 592, 1681, 1079, x, y));  // 1444 * 792 / 1445 = 791.45
  EXPECT_EQ(x, 791);
  EXPECT_EQ(y, 591);
  EXPECT_TRUE(OutputToPicture(fit, 792, 592, 960, 540, x, y));  // 723 * 792 / 1445 = 396.3, 540 * 592 / 1080 = 296
  EXPECT_EQ(x, 396);
  EXPECT_EQ(y, 296);
  EXPECT_FALSE(OutputToPicture(fit, 792, 592, 236.5, 540, x, y)) << "the left bar";
  EXPECT_FALSE(OutputToPicture(fit, 792, 592, 1682, 540, x, y)) << "the right bar";
  EXPECT_FALSE(OutputToPicture(TDisplayFit{}, 792, 592, 0, 0, x, y)) << "nothing drawn yet";
}

TEST(DisplayFitTest, WindowScaleFollowsDensityAndFits) {
  struct TCase {
    double Scale;
    int Width, Height, Expected;
  } cases[] = {
      {1.0, 1920, 1050, 1},  // an ordinary screen
      {1.4, 3840, 2100, 1},  // not dense enough to double
      {1.5, 3840, 2100, 2},  // 4K at 27 inches and up
      {2.0, 3840, 2100, 2},
      {2.0, 1920, 1050, 1},  // 1184 high does not fit in 0.9 of 1050
      {3.0, 3840, 2100, 3},  // 1776 <= 1890
      {3.0, 2560, 1600, 2},  // 1776 > 1440, 1184 fits
      {0.5, 800, 600, 1},    // never below 1
  };
  for (const TCase& c : cases)
    EXPECT_EQ(WindowScale(c.Scale, c.Width, c.Height, 792, 592), c.Expected) << c.Scale << " " << c.Width << "x" << c.Height;
}

}  // namespace
