#include "screens/menu_button.h"

TMenuButton::TMenuButton(int listSel, const std::string& activeImage, const std::string& normalImage,
                         int activeFrame, int normalFrame, double x, double y)
    : TMyImageSprite(listSel),
      ActiveImage(activeImage),
      NormalImage(normalImage),
      ActiveFrame(activeFrame),
      NormalFrame(normalFrame) {
  SetImageByName(NormalImage);
  AnimPos = NormalFrame;
  X = x;
  Y = y;
  SetZ(4);
}

void TMenuButton::Highlight() {
  if (RaiseOnHover) SetZ(17);
  SetImageByName(ActiveImage);
  AnimPos = ActiveFrame;
}

void TMenuButton::Unhighlight() {
  if (RaiseOnHover) SetZ(15);
  SetImageByName(NormalImage);
  AnimPos = NormalFrame;
}
