#include "screens/options_screen.h"

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
#include "shell/settings.h"
#include "sprites/sprite.h"

namespace {

const std::string TitleText = Cp1251FromUtf8("ОПЦИИ");
const std::string CountryLabel = Cp1251FromUtf8("Ваша страна:");

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

// Only changes the picture when the flag changed, so the tick stays cheap.
void ShowIndicator(TMyImageSprite* indicator, bool on, const char* onImage, const char* offImage) {
  const char* wanted = on ? onImage : offImage;
  if (indicator && indicator->Image && indicator->Image->Name != wanted) indicator->SetImageByName(wanted);
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
  TextCursor = new TMyCursor(1, 1000, 5, 491, 380, "Cursor");
  CountryEditActive = 0;
  SelectionMoved = EndCountryEditOffTheBox;
}

void OptionsTick(int moveCount) {
  UpdateButtonLooks();
  if (CountryEditActive == 0) {
    if (PressedUp) TryDecrease(HoverButton, FirstButton, 1);
    if (PressedDown) IncreaseCapped(HoverButton, LastButton, 1);
    if (PressedEsc) SelectItem(5);
  } else if (PressedEsc) {
    SelectItem(4);
  }
  // Even on the tick that leaves the screen, its sprites are already drawn
  // for this frame: the title and texts must go over them too.
  MDXSpriteEngine.Move(moveCount);
  ScreenTitle(TitleText);
  OptionsTexts();
  if (TextCursor) TextCursor->X = TextWidth(Country, 4) + 380;
}

void OptionsTexts() {
  ShowIndicator(ScreenModeIndicator, FullScreen, "OptFullScreen", "OptWindow");
  ShowIndicator(MusicIndicator, MusicOn, "OptMusicOn", "OptMusicOff");
  ShowIndicator(SoundIndicator, SoundOn, "OptSoundOn", "OptSoundOff");
  SetTextStyle(13);
  DrawText(CountryLabel, 116, 447, false, false);
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

void ResetOptionsScreen() {
  CountryEditBg = ScreenModeIndicator = MusicIndicator = SoundIndicator = nullptr;
  TextCursor = nullptr;
}
