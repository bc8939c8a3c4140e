#include "screens/options_screen.h"

#include <algorithm>
#include <string>

#include "gfx/cp1251.h"
#include "gfx/text.h"
#include "race/world/my_cursor.h"
#include "race/world/scroll_background.h"
#include "screens/activate_item.h"
#include "screens/menu_button.h"
#include "screens/screen_title.h"
#include "screens/buttons.h"
#include "shell/counters.h"
#include "shell/game_state.h"
#include "shell/input.h"
#include "shell/language.h"
#include "shell/player_settings.h"
#include "shell/settings.h"
#include "shell/sound.h"
#include "sprites/sprite.h"

namespace {

const TSaid TitleText = Said("ОПЦИИ", "OPTIONS");
const TSaid CountryLabel = Said("Ваша страна:", "Your country:");

TMyImageSprite* CountryEditBg = nullptr;
TMyImageSprite* ScreenModeIndicator = nullptr;
TMyImageSprite* MusicIndicator = nullptr;
TMyImageSprite* SoundIndicator = nullptr;
TMyCursor* TextCursor = nullptr;

// Rows 1..4 show nothing until hovered; their hit boxes are the rows.
struct TOptionRow {
  const char* Active;
  double X, Y;
  int HitWidth, HitHeight;
};
const TOptionRow Rows[5] = {
    {}, {"Opt_1", 118, 248, 545, 64}, {"Opt_2", 118, 312, 282, 62}, {"Opt_3", 118, 375, 282, 62}, {"Opt_4", 118, 436, 681, 84}};

// The volume sliders right of the music and sound rows: one pattern a
// level, 0..10, then the same hovered.
constexpr int VolumeX = 424, MusicVolumeY = 322, EffectsVolumeY = 385;
constexpr int VolumeLevels = 11;
// The language and controls buttons either side of "back".
constexpr int LanguageX = 36, KeysX = 555, BottomY = 513;
// The ghost switch under the title, above the first row.
constexpr int GhostItem = 10;
constexpr int GhostX = 413, GhostY = 192;

// The state each indicator shows, so the picture changes only when its
// flag did and the tick stays cheap.
int Shown[3] = {-1, -1, -1};

void ShowIndicator(int slot, TMyImageSprite* indicator, bool on, const char* onImage, const char* offImage) {
  if (!indicator || Shown[slot] == static_cast<int>(on)) return;
  indicator->SetImageByName(on ? onImage : offImage);
  Shown[slot] = on;
}

void ShowVolume(int button, uint8_t volume) {
  TMenuButton* slider = Buttons[button];
  if (!slider) return;
  slider->NormalFrame = volume / 10;
  slider->ActiveFrame = VolumeLevels + volume / 10;
  slider->AnimPos = slider->Highlighted ? slider->ActiveFrame : slider->NormalFrame;
}

// Its picture says "off" or "on", each with its hovered look first.
void ShowGhostSwitch() {
  TMenuButton* ghost = Buttons[GhostItem];
  if (!ghost) return;
  ghost->NormalFrame = GhostOn ? 3 : 1;
  ghost->ActiveFrame = GhostOn ? 2 : 0;
  ghost->AnimPos = ghost->Highlighted ? ghost->ActiveFrame : ghost->NormalFrame;
}

// Left and Right on a volume's row (or its slider) turn it by a step.
void StepVolume(uint8_t& volume, int button, int step) {
  const int next = volume + step;
  if (next < 0 || next > 100) return;
  volume = static_cast<uint8_t>(next);
  ApplyVolumes();
  ShowVolume(button, volume);
  PlaySound("Button");
}

// Row 4 is the country box: moving the selection to another row ends the
// typing.
void EndCountryEditOffTheBox() {
  if (HoverButton != 4 && CountryEditActive == 1) ToggleCountryEdit();
}

}  // namespace

void OpenOptions() {
  GameScreen = 3;
  FirstButton = 1;
  LastButton = 5;
  HoverButton = 5;
  Background = new TScrollBackground(1, 1, 1, "MMBG");
  CountryEditBg = TMyImageSprite::CreateAt(1, "CountryEditBg", 361, 442, 3);
  for (int i = 1; i <= 4; ++i) {
    Buttons[i] = new TMenuButton(1, Rows[i].Active, "Null", 0, 0, Rows[i].X, Rows[i].Y);
    Buttons[i]->HitWidth = Rows[i].HitWidth;
    Buttons[i]->HitHeight = Rows[i].HitHeight;
  }
  Buttons[5] = new TMenuButton(1, "Opt_Bk", "Opt_Bk", 0, 1, 345, 513);
  ScreenModeIndicator = TMyImageSprite::CreateAt(1, FullScreen ? "OptFullScreen" : "OptWindow", 118, 255, 3);
  MusicIndicator = TMyImageSprite::CreateAt(1, MusicOn ? "OptMusicOn" : "OptMusicOff", 118, 320, 3);
  SoundIndicator = TMyImageSprite::CreateAt(1, SoundOn ? "OptSoundOn" : "OptSoundOff", 115, 383, 3);
  Shown[0] = FullScreen;
  Shown[1] = MusicOn;
  Shown[2] = SoundOn;
  Buttons[6] = new TMenuButton(1, "OptVol_2", "OptVol_2", 0, 0, VolumeX, MusicVolumeY);
  Buttons[7] = new TMenuButton(1, "OptVol_3", "OptVol_3", 0, 0, VolumeX, EffectsVolumeY);
  ShowVolume(6, MusicVolume);
  ShowVolume(7, EffectsVolume);
  Buttons[8] = new TMenuButton(1, "Opt_Lang", "Opt_Lang", 0, 1, LanguageX, BottomY);
  Buttons[9] = new TMenuButton(1, "Opt_Keys", "Opt_Keys", 0, 1, KeysX, BottomY);
  Buttons[GhostItem] = new TMenuButton(1, "Opt_Ghost", "Opt_Ghost", 0, 1, GhostX, GhostY);
  ShowGhostSwitch();
  LastButton = GhostItem;
  TextCursor = new TMyCursor(1, 1000, 5, 491, 380, "Cursor");
  CountryEditActive = 0;
  SelectionMoved = EndCountryEditOffTheBox;
}

void OptionsTick(int moveCount) {
  UpdateButtonLooks();
  if (CountryEditActive == 0) {
    // Up and Down walk the five rows as they always have; a slider moves
    // as its row, the buttons beside "back" go up to the country, and the
    // ghost switch lies above the first row.
    const bool slider = HoverButton == 6 || HoverButton == 7;
    const bool besideBack = HoverButton == 8 || HoverButton == 9;
    const bool ghost = HoverButton == GhostItem;
    if (PressedUp) {
      if (besideBack) HoverButton = 4;
      else if (HoverButton == 1) HoverButton = GhostItem;
      else if (!ghost) {
        if (slider) HoverButton -= 4;
        TryDecrease(HoverButton, FirstButton, 1);
      }
    }
    if (PressedDown && !besideBack) {
      if (ghost) HoverButton = 1;
      else {
        if (slider) HoverButton -= 4;
        IncreaseCapped(HoverButton, 5, 1);
      }
    }
    const int step = PressedRight ? 10 : PressedLeft ? -10 : 0;
    if (step != 0 && (HoverButton == 2 || HoverButton == 6)) StepVolume(MusicVolume, 6, step);
    else if (step != 0 && (HoverButton == 3 || HoverButton == 7)) StepVolume(EffectsVolume, 7, step);
    else if (HoverButton == 5 && step != 0) HoverButton = step < 0 ? 8 : 9;
    else if ((HoverButton == 8 && step > 0) || (HoverButton == 9 && step < 0)) HoverButton = 5;
    if (PressedEsc) SelectItem(5);
  } else if (PressedEsc) {
    SelectItem(4);
  }
  // Even on the tick that leaves the screen, its sprites are already drawn
  // for this frame: the title and texts must go over them too.
  MDXSpriteEngine.Move(moveCount);
  ScreenTitle(Say(TitleText));
  OptionsTexts();
  if (TextCursor) TextCursor->X = TextWidth(Country, 4) + 380;
}

void OptionsTexts() {
  ShowIndicator(0, ScreenModeIndicator, FullScreen, "OptFullScreen", "OptWindow");
  ShowIndicator(1, MusicIndicator, MusicOn, "OptMusicOn", "OptMusicOff");
  ShowIndicator(2, SoundIndicator, SoundOn, "OptSoundOn", "OptSoundOff");
  SetTextStyle(13);
  DrawText(Say(CountryLabel), 116, 447, false, false);
  SetTextStyle(4);
  DrawText(Country, 380, 450, false, false);
}

void CloseOptions() {
  GameScreen = 0;
  SelectionMoved = nullptr;
  KillButtons();
  if (Background) Background->Kill();
  Background = nullptr;
  for (TMyImageSprite* s : {ScreenModeIndicator, MusicIndicator, SoundIndicator, CountryEditBg,
                            static_cast<TMyImageSprite*>(TextCursor)})
    if (s) s->Kill();
  ResetOptionsScreen();
}

void ToggleCountryEdit() {
  CountryEditActive = CountryEditActive ? 0 : 1;
  if (TextCursor) TextCursor->Blinking = TextCursor->Blinking ? 0 : 1;
}

void SetVolumeFromClick(int button) {
  TMenuButton* slider = Buttons[button];
  uint8_t& volume = button == 6 ? MusicVolume : EffectsVolume;
  if (!slider) return;
  // A click sets the level under the mouse; Enter (the mouse elsewhere)
  // steps it up, from the top round to silence.
  const bool onIt = MouseX >= slider->X && MouseX <= slider->X + slider->Width && MouseY >= slider->Y &&
                    MouseY <= slider->Y + slider->Height;
  int level = volume / 10 + 1;
  if (onIt) level = static_cast<int>((MouseX - slider->X) * (VolumeLevels) / (slider->Width + 1));
  volume = static_cast<uint8_t>(std::clamp(level % VolumeLevels, 0, 10) * 10);
  ApplyVolumes();
  ShowVolume(button, volume);
}

void ToggleGhost() {
  GhostOn = GhostOn ? 0 : 1;
  ShowGhostSwitch();
}

void ResetOptionsScreen() {
  for (int& s : Shown) s = -1;
  CountryEditBg = ScreenModeIndicator = MusicIndicator = SoundIndicator = nullptr;
  TextCursor = nullptr;
}
