#include "sprites/pointer.h"

TPointer::TPointer(int listSel, const std::string& name, double centerX, double centerY, int x, int y)
    : TMyImageSprite(listSel, name, x, y, 12), CenterX(centerX), CenterY(centerY), PointX(x), PointY(y) {}

void TPointer::DoDraw() {
  if (Image == nullptr) return;
  // The pivot sits at a fixed point of the panel; the sprite's own position
  // only decides whether it is drawn at all.
  const int w = Image->Width();
  const int h = Image->Height();
  TSurface& surface = Engine != nullptr ? *Engine->Surface : BackSurface;
  Image->DrawRotate(surface, w + PointX, h + PointY, w, h, 0, CenterX, CenterY, Angle);
}
