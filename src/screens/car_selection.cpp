#include "screens/car_selection.h"

#include <string>

#include "race/world/scroll_background.h"
#include "screens/activate_item.h"
#include "screens/menu_button.h"
#include "screens/buttons.h"
#include "shell/game_state.h"
#include "shell/input.h"

int PendingCar = 1;
int CarSwitchState = 0;

namespace {

const char* const CarPictures[7] = {"", "SG_Car1", "SG_Car2", "SG_Car3", "SG_Car4", "SG_Car5", "SG_Car6"};

TMyImageSprite* Frame = nullptr;
TMyImageSprite* CarPicture = nullptr;
TMyImageSprite* NextCarPicture = nullptr;

void StartSwitch(int car) {
  CarSwitchState = 1;
  PendingCar = car;
  NextCarPicture->SetImageByName(CarPictures[PendingCar]);
  NextCarPicture->Visible = true;
  NextCarPicture->Alpha = 255;
}

// Both pictures lie at the same place: the old one fades out over the new
// one, 20 steps of alpha a tick.
void PictureStep() {
  if (CarSwitchState == 0) {
    CarPicture->AlphaOn = NextCarPicture->AlphaOn = 0;
    CarPicture->Alpha = NextCarPicture->Alpha = 255;
    CarPicture->Visible = true;
    NextCarPicture->Visible = false;
    return;
  }
  CarPicture->AlphaOn = NextCarPicture->AlphaOn = 1;
  CarPicture->Alpha -= 20;
  if (CarPicture->Alpha < 1) {
    CarPicture->SetImageByName(CarPictures[PendingCar]);
    CarSwitchState = 0;
    SelectedCar = PendingCar;
  }
}

}  // namespace

void OpenCarSelection() {
  GameScreen = 2;
  CarSwitchState = 0;
  FirstButton = 1;
  LastButton = 4;
  HoverButton = 3;
  Background = new TScrollBackground(1, 1, 1, "MMBG");
  Frame = TMyImageSprite::CreateAt(1, "SG_Bk", 198, 218, 3);
  CarPicture = TMyImageSprite::CreateAt(1, CarPictures[SelectedCar], 231, 259, 4);
  NextCarPicture = TMyImageSprite::CreateAt(1, CarPictures[SelectedCar], 231, 259, 4);
  NextCarPicture->Visible = false;
  struct TPlace {
    const char* Image;
    double X, Y;
  };
  static const TPlace Places[5] = {{}, {"SG_Left", 198, 330}, {"SG_Right", 568, 328}, {"SG_Start", 222, 475},
                                   {"SG_Back", 410, 475}};
  for (int i = 1; i <= 4; ++i) {
    Buttons[i] = new TMenuButton(1, Places[i].Image, Places[i].Image, 0, 1, Places[i].X, Places[i].Y);
    Buttons[i]->SetZ(5);
  }
}

void CarSelectTick(int moveCount) {
  (void)moveCount;
  UpdateButtonLooks();
  if (PressedLeft) {
    if (HoverButton == 1) SelectItem(1);
    if (HoverButton == 2) HoverButton = 1;
    else if (HoverButton == 4) HoverButton = 3;
  }
  if (PressedRight) {
    if (HoverButton == 2) SelectItem(2);
    if (HoverButton == 1) HoverButton = 2;
    else if (HoverButton == 3) HoverButton = 4;
  }
  if (PressedUp) {
    if (HoverButton == 3) HoverButton = 1;
    else if (HoverButton == 4) HoverButton = 2;
  }
  if (PressedDown) {
    if (HoverButton == 1) HoverButton = 3;
    else if (HoverButton == 2) HoverButton = 4;
  }
  if (GameScreen == 2) PictureStep();
}

void PreviousCar() { StartSwitch(SelectedCar <= 1 ? 6 : SelectedCar - 1); }

void NextCar() { StartSwitch(SelectedCar >= 6 ? 1 : SelectedCar + 1); }

void CloseCarSelection() {
  KillButtons();
  if (Background) Background->Kill();
  Background = nullptr;
  for (TMyImageSprite* s : {Frame, CarPicture, NextCarPicture})
    if (s) s->Kill();
  Frame = CarPicture = NextCarPicture = nullptr;
  GameScreen = 0;
}

void ResetCarSelection() {
  SelectedCar = PendingCar = 1;
  CarSwitchState = 0;
  Frame = CarPicture = NextCarPicture = nullptr;
}
