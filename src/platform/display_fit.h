#pragma once
// How the game's 792 x 592 picture is laid on a screen or window of any
// size: as large as fits, centred with black bars, and sharp. The picture is
// first enlarged by a whole factor with every pixel a square block, and only
// the remaining fraction is scaled smoothly. No SDL here; the SDL platform
// draws what this works out.

struct TDisplayFit {
  int X = 0, Y = 0, Width = 0, Height = 0;  // the picture's place in the output, in output pixels
  int Prescale = 1;      // the whole factor, done with nearest-neighbour pixels
  bool Smooth = false;   // the last step, from Prescale to Width x Height, is scaled smoothly
};

// OutWidth x OutHeight: the drawable size in pixels. MaxTexture limits the
// prescaled picture to what the renderer can hold (0: no limit).
TDisplayFit FitPicture(int outWidth, int outHeight, int picWidth, int picHeight, int maxTexture = 0);

// The whole factor for a window on a display whose pixels are Scale times
// denser than the common 96 dpi (1 on an ordinary screen), no larger than
// fits in the usable area (room left for a title bar and a panel). Never
// below 1.
int WindowScale(double scale, int usableWidth, int usableHeight, int picWidth, int picHeight);

// Maps a point of the output (pixels) to the picture; false when it lies on
// a black bar.
bool OutputToPicture(const TDisplayFit& fit, int picWidth, int picHeight, double ox, double oy, int& px, int& py);
