#include "screens/buttons.h"

#include "screens/menu_button.h"
#include "shell/game_state.h"

TMenuButton* Buttons[ButtonSlots];
int FirstButton = 0, LastButton = 0;
int HoverButton = 0;
void (*SelectionMoved)() = nullptr;

void UpdateHover(bool keepIfNone) {
  if (!keepIfNone) HoverButton = 0;
  for (int i = FirstButton; i <= LastButton; ++i) {
    const TMenuButton* b = i >= 1 && i < ButtonSlots ? Buttons[i] : nullptr;
    if (!b) continue;
    const double w = b->HitWidth == -1 ? b->Width : b->HitWidth;
    const double h = b->HitHeight == -1 ? b->Height : b->HitHeight;
    if (b->X <= MouseX && MouseX <= b->X + w && b->Y <= MouseY && MouseY <= b->Y + h) {
      HoverButton = i;
      return;
    }
  }
}

void UpdateButtonLooks() {
  for (int i = FirstButton; i <= LastButton; ++i) {
    if (i == HoverButton || !Buttons[i]) continue;
    Buttons[i]->Unhighlight();
    Buttons[i]->Highlighted = 0;
  }
  if (HoverButton != 0 && HoverButton >= FirstButton && HoverButton <= LastButton && Buttons[HoverButton] &&
      Buttons[HoverButton]->Highlighted == 0) {
    Buttons[HoverButton]->Highlight();
    Buttons[HoverButton]->Highlighted = 1;
    if (SelectionMoved) SelectionMoved();
  }
}

void KillButtons() {
  for (int i = FirstButton; i <= LastButton; ++i) {
    if (i < 1 || i >= ButtonSlots || !Buttons[i]) continue;
    Buttons[i]->Kill();
    Buttons[i] = nullptr;
  }
}

void ResetButtons() {
  for (auto& b : Buttons) b = nullptr;
  FirstButton = LastButton = HoverButton = 0;
  SelectionMoved = nullptr;
}
