#pragma once
#include <cstdint>

// 1 while the main menu's buttons fade in after start-up.
extern uint8_t MenuFadeIn;

void OpenMainMenu(int fadeIn, int hover, bool playMusic);
void MainMenuTick(int lagCount);
void CloseMainMenu();
void ResetMainMenu();
