#include "screens/controls_screen.h"

#include <algorithm>

#include "gfx/cp1251.h"
#include "gfx/text.h"
#include "platform/platform.h"
#include "race/world/scroll_background.h"
#include "screens/activate_item.h"
#include "screens/buttons.h"
#include "screens/menu_button.h"
#include "screens/screen_title.h"
#include "shell/counters.h"
#include "shell/game_state.h"
#include "shell/input.h"
#include "shell/key_bindings.h"
#include "shell/language.h"
#include "sprites/sprite.h"

int ControlsListening = -1;
std::string ControlsMessage;

namespace {

const TSaid Title = Said("КЛАВИШИ", "CONTROLS");
const TSaid Heads[3] = {Said("Действие", "Action"), Said("Клавиатура", "Keyboard"), Said("Геймпад", "Gamepad")};
const TSaid ActionNames[RaceActionCount] = {
    Said("Газ", "Accelerate"),  Said("Тормоз, назад", "Brake, reverse"), Said("Руль влево", "Steer left"),
    Said("Руль вправо", "Steer right"), Said("Ручной тормоз", "Handbrake"),  Said("Огонь", "Fire"),
    Said("Нитро", "Nitro"),     Said("Гудок", "Horn"),                  Said("Пауза", "Pause")};
const TSaid Waiting = Said("Нажмите клавишу или кнопку геймпада... (Esc - отмена)",
                           "Press a key or a gamepad button... (Esc cancels)");
const TSaid KeyTaken = Said("Клавиша «%s» уже занята: %s", "The key %s is already used for: %s");
const TSaid ButtonTaken = Said("Кнопка «%s» уже занята: %s", "The button %s is already used for: %s");
const TSaid KeyKept = Said("Клавиша «%s» нужна самой игре", "The key %s is kept by the game");
const TSaid ButtonKept = Said("Кнопка «%s» нужна самой игре", "The button %s is kept by the game");
const TSaid DefaultsBack = Said("Клавиши снова как в начале", "The game's own keys are back");
const TSaid PadNames[PadButtonCount] = {
    Said("A", "A"),         Said("B", "B"),         Said("X", "X"),       Said("Y", "Y"),
    Said("Back", "Back"),   Said("Guide", "Guide"), Said("Start", "Start"), Said("L3", "L3"),
    Said("R3", "R3"),       Said("LB", "LB"),       Said("RB", "RB"),     Said("Крестовина вверх", "D-pad up"),
    Said("Крестовина вниз", "D-pad down"), Said("Крестовина влево", "D-pad left"),
    Said("Крестовина вправо", "D-pad right")};

// The table: its frame, the rows' places and the three columns.
constexpr int TableX = 28, TableY = 192;
constexpr int RowX = 40, RowTop = 232, RowPitch = 25, RowWidth = 712, RowHeight = 24;
constexpr int HeadY = 214;
constexpr int ActionX = 58, KeyX = 318, PadX = 548;
constexpr int MessageY = 475;

TMyImageSprite* Table = nullptr;
// While waiting: what was held on the tick before, so only a key going down
// binds (the Enter that started the waiting is already held).
bool WasScancode[ScancodeCount];
bool WasPadButton[PadButtonCount];
bool WaitArmed = false;

// Fills "%s" in order, the rest as it stands.
std::string Fill(const std::string& pattern, const std::string& a, const std::string& b = "") {
  std::string out;
  int used = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
      out += used++ == 0 ? a : b;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

int RowCentre(int action) { return RowTop + RowPitch * action + RowHeight / 2; }

std::string Joined(const std::string& a, const std::string& b) { return a.empty() || b.empty() ? a + b : a + ", " + b; }

std::string KeysOf(const TBinding& b) {
  return Joined(b.Keys[0] != NoKey ? KeyLabel(b.Keys[0]) : "", b.Keys[1] != NoKey ? KeyLabel(b.Keys[1]) : "");
}

std::string PadOf(const TBinding& b) {
  return Joined(b.PadButtons[0] != NoPadButton ? PadButtonLabel(b.PadButtons[0]) : "",
                b.PadButtons[1] != NoPadButton ? PadButtonLabel(b.PadButtons[1]) : "");
}

void StopWaiting() {
  ControlsListening = -1;
  WaitArmed = false;
}

void TryKey(int scancode) {
  int holder = -1;
  switch (BindKey(ControlsListening, scancode, holder)) {
    case brBound: ControlsMessage.clear(); StopWaiting(); break;
    case brTaken: ControlsMessage = Fill(Say(KeyTaken), KeyLabel(scancode), Say(ActionNames[holder])); break;
    case brReserved: ControlsMessage = Fill(Say(KeyKept), KeyLabel(scancode)); break;
  }
}

void TryPadButton(int button) {
  int holder = -1;
  switch (BindPadButton(ControlsListening, button, holder)) {
    case brBound: ControlsMessage.clear(); StopWaiting(); break;
    case brTaken: ControlsMessage = Fill(Say(ButtonTaken), PadButtonLabel(button), Say(ActionNames[holder])); break;
    case brReserved: ControlsMessage = Fill(Say(ButtonKept), PadButtonLabel(button)); break;
  }
}

// One tick of waiting: the first key or button that went down since the
// tick before is tried. A refused one leaves the waiting on, so the player
// can press another at once.
void WaitForBinding() {
  if (!WaitArmed) {
    std::copy(ScancodeHeld, ScancodeHeld + ScancodeCount, WasScancode);
    std::copy(PadButtonHeld, PadButtonHeld + PadButtonCount, WasPadButton);
    WaitArmed = true;
    return;
  }
  int key = NoKey, button = NoPadButton;
  for (int sc = 1; sc < ScancodeCount && key == NoKey; ++sc)
    if (ScancodeHeld[sc] && !WasScancode[sc]) key = sc;
  for (int b = 0; b < PadButtonCount && button == NoPadButton; ++b)
    if (PadButtonHeld[b] && !WasPadButton[b]) button = b;
  std::copy(ScancodeHeld, ScancodeHeld + ScancodeCount, WasScancode);
  std::copy(PadButtonHeld, PadButtonHeld + PadButtonCount, WasPadButton);
  if (key != NoKey) TryKey(key);
  else if (button != NoPadButton) TryPadButton(button);
}

}  // namespace

std::string KeyLabel(int scancode) {
  switch (FoldScancode(scancode)) {
    case ScLeftCtrl: return "Ctrl";
    case ScLeftShift: return "Shift";
    case ScLeftAlt: return "Alt";
    case ScLeftGui: return "Win";
    default: break;
  }
  const std::string name = Cp1251FromUtf8(Platform->KeyName(scancode));
  return name.empty() ? "#" + std::to_string(scancode) : name;
}

std::string PadButtonLabel(int button) {
  return button >= 0 && button < PadButtonCount ? Say(PadNames[button]) : std::string();
}

void OpenControls() {
  GameScreen = 7;
  FirstButton = ControlsFirstRow;
  LastButton = ControlsBackButton;
  HoverButton = ControlsBackButton;
  Background = new TScrollBackground(1, 1, 1, "MMBG");
  Table = TMyImageSprite::CreateAt(1, "CtlTable", TableX, TableY, 3);
  for (int a = 0; a < RaceActionCount; ++a) {
    TMenuButton* row = new TMenuButton(1, "CtlRow", "Null", 0, 0, RowX, RowTop + RowPitch * a);
    Buttons[ControlsFirstRow + a] = row;
    row->HitWidth = RowWidth;
    row->HitHeight = RowHeight - 1;
    // The row's light lies over the board half seen, so the printed
    // texts and the glass under them stay readable.
    row->AlphaOn = 1;
    row->Alpha = 150;
  }
  Buttons[ControlsDefaultsButton] = new TMenuButton(1, "Ctl_Default", "Ctl_Default", 0, 1, 60, 513);
  Buttons[ControlsBackButton] = new TMenuButton(1, "Opt_Bk", "Opt_Bk", 0, 1, 345, 513);
  StopWaiting();
  ControlsMessage.clear();
}

void ControlsTick(int moveCount) {
  UpdateButtonLooks();
  if (ControlsListening >= 0) {
    if (PressedEsc) {
      StopWaiting();
      ControlsMessage.clear();
    } else {
      WaitForBinding();
    }
  } else {
    if (PressedUp) TryDecrease(HoverButton, FirstButton, 1);
    if (PressedDown) IncreaseCapped(HoverButton, LastButton, 1);
    if (PressedLeft && HoverButton == ControlsBackButton) HoverButton = ControlsDefaultsButton;
    if (PressedRight && HoverButton == ControlsDefaultsButton) HoverButton = ControlsBackButton;
    if (PressedEsc) SelectItem(ControlsBackButton);
  }
  MDXSpriteEngine.Move(moveCount);
  ScreenTitle(Say(Title));
  ControlsTexts();
}

void ControlsTexts() {
  SetTextStyle(17);
  const int headXs[3] = {ActionX, KeyX, PadX};
  for (int i = 0; i < 3; ++i) DrawText(Say(Heads[i]), headXs[i], HeadY, false, true);
  SetTextStyle(21);
  for (int a = 0; a < RaceActionCount; ++a) {
    const int y = RowCentre(a);
    DrawText(Say(ActionNames[a]), ActionX, y, false, true);
    if (a == ControlsListening) {
      DrawText(Say(Waiting), KeyX, y, false, true);
    } else {
      DrawText(KeysOf(Bindings[a]), KeyX, y, false, true);
      DrawText(PadOf(Bindings[a]), PadX, y, false, true);
    }
  }
  if (!ControlsMessage.empty()) DrawText(ControlsMessage, 396, MessageY, true, true);
}

void CloseControls() {
  GameScreen = 0;
  KillButtons();
  if (Background) Background->Kill();
  Background = nullptr;
  if (Table) Table->Kill();
  ResetControlsScreen();
}

void ResetControlsScreen() {
  Table = nullptr;
  StopWaiting();
  ControlsMessage.clear();
}

void ListenForBinding(int action) {
  // Enter (or a pad's A) on the row already waiting keeps it waiting: that
  // press is for the binding, not for starting over.
  if (action == ControlsListening) return;
  ControlsListening = action;
  WaitArmed = false;
  ControlsMessage.clear();
}

void RestoreDefaultBindings() {
  StopWaiting();
  SetDefaultBindings();
  ControlsMessage = Say(DefaultsBack);
}
