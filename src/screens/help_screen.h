#pragma once
// The five help pages: description, pickups, menu keys, race keys, about.
extern int HelpPage;  // 1..5

void OpenHelp();
void HelpTick(int moveCount);
void DrawHelpPage();
void PreviousHelpPage();
void NextHelpPage();
void CloseHelp();
void ResetHelpScreen();
