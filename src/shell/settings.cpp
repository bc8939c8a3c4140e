#include "shell/settings.h"

uint8_t FullScreen = 0;
uint8_t MusicOn = 1;
uint8_t SoundOn = 1;
std::string Country = "_______";
std::string HSChecksum;
int DisplayModeChosen = -1;

void SetDefaultOptions() {
  FullScreen = 0;
  MusicOn = 1;
  SoundOn = 1;
  Country = "_______";
  HSChecksum.clear();
}
