#include "screens/screen_title.h"

#include "gfx/text.h"

void ScreenTitle(const std::string& text) {
  SetTextStyle(15);
  DrawText(text, 563, 148, true, true);
}
