#include "platform/display_fit.h"

#include <algorithm>
#include <cmath>

TDisplayFit FitPicture(int outWidth, int outHeight, int picWidth, int picHeight, int maxTexture) {
  TDisplayFit fit;
  if (outWidth <= 0 || outHeight <= 0 || picWidth <= 0 || picHeight <= 0) return fit;
  const long long ow = outWidth, oh = outHeight, pw = picWidth, ph = picHeight;
  // The limiting side fills the output; the other keeps the picture's shape
  // (rounded to the nearest pixel).
  if (ow * ph <= oh * pw) {
    fit.Width = outWidth;
    fit.Height = static_cast<int>((2 * ow * ph + pw) / (2 * pw));
  } else {
    fit.Height = outHeight;
    fit.Width = static_cast<int>((2 * oh * pw + ph) / (2 * ph));
  }
  int whole = std::max(1, std::min(outWidth / picWidth, outHeight / picHeight));
  if (maxTexture > 0)
    while (whole > 1 && (whole * picWidth > maxTexture || whole * picHeight > maxTexture)) --whole;
  fit.Prescale = whole;
  // A fraction of under 3% over a whole factor is not worth blurring every
  // edge for: the picture stays at the whole factor with slightly wider bars
  // (an 800 x 600 screen shows the picture pixel for pixel, as the game
  // always has in full screen).
  if (fit.Width >= whole * picWidth && fit.Width * 100 < whole * picWidth * 103) {
    fit.Width = whole * picWidth;
    fit.Height = whole * picHeight;
  }
  fit.Smooth = fit.Width != whole * picWidth || fit.Height != whole * picHeight;
  fit.X = (outWidth - fit.Width) / 2;
  fit.Y = (outHeight - fit.Height) / 2;
  return fit;
}

int WindowScale(double scale, int usableWidth, int usableHeight, int picWidth, int picHeight) {
  // Half-way counts: a 27-inch 4K screen (1.7 times as dense) gets a double
  // window, a 27-inch 1440p one (1.14) a single.
  int wanted = static_cast<int>(std::floor(scale + 0.5));
  // Leave a tenth of the height for the title bar and the desktop's panel.
  while (wanted > 1 && (wanted * picWidth > usableWidth || wanted * picHeight * 10 > usableHeight * 9)) --wanted;
  return std::max(1, wanted);
}

bool OutputToPicture(const TDisplayFit& fit, int picWidth, int picHeight, double ox, double oy, int& px, int& py) {
  if (fit.Width <= 0 || fit.Height <= 0) return false;
  const double x = (ox - fit.X) * picWidth / fit.Width, y = (oy - fit.Y) * picHeight / fit.Height;
  if (x < 0 || y < 0) return false;
  px = static_cast<int>(x);
  py = static_cast<int>(y);
  return px < picWidth && py < picHeight;
}
