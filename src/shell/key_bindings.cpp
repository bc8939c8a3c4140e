#include "shell/key_bindings.h"

#include <algorithm>

const TBinding DefaultBindings[RaceActionCount] = {
    {{ScUp, NoKey}, {pbDpadUp, NoPadButton}},
    {{ScDown, NoKey}, {pbDpadDown, NoPadButton}},
    {{ScLeft, NoKey}, {pbDpadLeft, NoPadButton}},
    {{ScRight, NoKey}, {pbDpadRight, NoPadButton}},
    {{ScSpace, NoKey}, {pbLeftShoulder, pbRightShoulder}},
    {{ScZ, ScLeftCtrl}, {pbA, NoPadButton}},
    {{ScX, ScLeftShift}, {pbX, NoPadButton}},
    {{ScH, NoKey}, {pbY, NoPadButton}},
    {{ScP, NoKey}, {pbStart, NoPadButton}},
};

TBinding Bindings[RaceActionCount];

namespace {

// Sets DefaultBindings into Bindings before main runs, as every other
// setting starts at its default.
const bool DefaultsSet = [] {
  SetDefaultBindings();
  return true;
}();

bool ValidAction(int action) { return action >= 0 && action < RaceActionCount; }

}  // namespace

void SetDefaultBindings() { std::copy(DefaultBindings, DefaultBindings + RaceActionCount, Bindings); }

int FoldScancode(int scancode) {
  switch (scancode) {
    case ScRightCtrl: return ScLeftCtrl;
    case ScRightShift: return ScLeftShift;
    case ScRightAlt: return ScLeftAlt;
    case ScRightGui: return ScLeftGui;
    default: return scancode;
  }
}

bool IsReservedKey(int scancode) {
  return scancode == ScEscape || scancode == ScReturn || scancode == ScKeypadEnter || scancode == ScF11;
}

bool IsReservedPadButton(int button) { return button == pbB || button == pbGuide; }

// Puts Value alone into the action's pair of Slots (its keys or its pad
// buttons) unless another action already has it.
static TBindResult BindInto(int action, int value, int empty, int (TBinding::*slots)[2], int& holder) {
  for (int other = 0; other < RaceActionCount; ++other) {
    if (other == action) continue;
    for (int held : Bindings[other].*slots)
      if (held == value) {
        holder = other;
        return brTaken;
      }
  }
  (Bindings[action].*slots)[0] = value;
  (Bindings[action].*slots)[1] = empty;
  return brBound;
}

TBindResult BindKey(int action, int scancode, int& holder) {
  scancode = FoldScancode(scancode);
  if (!ValidAction(action) || scancode <= NoKey || scancode >= ScancodeCount || IsReservedKey(scancode))
    return brReserved;
  return BindInto(action, scancode, NoKey, &TBinding::Keys, holder);
}

TBindResult BindPadButton(int action, int button, int& holder) {
  if (!ValidAction(action) || button < 0 || button >= PadButtonCount || IsReservedPadButton(button)) return brReserved;
  return BindInto(action, button, NoPadButton, &TBinding::PadButtons, holder);
}

bool BindingsSound(const TBinding table[RaceActionCount]) {
  bool keyUsed[ScancodeCount] = {};
  bool buttonUsed[PadButtonCount] = {};
  for (int a = 0; a < RaceActionCount; ++a) {
    for (int key : table[a].Keys) {
      if (key == NoKey) continue;
      if (key < 0 || key >= ScancodeCount || FoldScancode(key) != key || IsReservedKey(key) || keyUsed[key])
        return false;
      keyUsed[key] = true;
    }
    for (int b : table[a].PadButtons) {
      if (b == NoPadButton) continue;
      if (b < 0 || b >= PadButtonCount || IsReservedPadButton(b) || buttonUsed[b]) return false;
      buttonUsed[b] = true;
    }
  }
  return true;
}
