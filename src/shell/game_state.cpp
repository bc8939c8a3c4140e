#include "shell/game_state.h"

#include "platform/platform.h"

uint8_t GameScreen = 0;
uint8_t OverlayWindow = 0;
int MouseX = 0, MouseY = 0;
unsigned char LastKeyChar = 0;
std::string PlayerName;
uint8_t CountryEditActive = 0;
int SelectedCar = 1;
bool Terminated = false;

void ResetGameState() {
  GameScreen = 0;
  OverlayWindow = 0;
  MouseX = MouseY = 0;
  LastKeyChar = 0;
  PlayerName.clear();
  CountryEditActive = 0;
  Terminated = false;
}

TPlatform* Platform = nullptr;
TWindowEvents WindowEvents;
