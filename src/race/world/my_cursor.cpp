#include "race/world/my_cursor.h"

#include "shell/frame_rate.h"

TMyCursor::TMyCursor(int listNo, int blinkMs, int z, double y, double x, const std::string& imageName)
    : TMyImageSprite(listNo, imageName, x, y, z), BlinkMs(blinkMs) {
  Visible = false;
}

void TMyCursor::DoMove(int moveCount) {
  TMyImageSprite::DoMove(moveCount);
  if (Blinking != 1) {
    Visible = false;
  } else if (BlinkTimer >= FrameMs) {
    BlinkTimer -= FrameMs;
  } else {
    BlinkTimer = BlinkMs;
    Visible = !Visible;
  }
}
