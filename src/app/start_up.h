#pragma once
// Folder app/: the program's entry and the start-up the game and the script
// runner share. It stands over every other folder and wires the machine
// (platform/) to the game (shell/ and what the shell opens); nothing below
// includes it.
#include <cstdint>
#include <string>

#include "platform/platform.h"

// What the command line chose for this start (see command_line.h).
struct TStartChoices {
  std::string DataFolder;  // empty: the machine finds the game's folder
  int DisplayMode = -1;    // -1 as the options file says, 0 window, 1 full screen
};

// The game's one start-up, as the real program and the script runner both
// take it: the game's folder, the choice of the save folder (said on the
// standard error), the window, then the main window's creation (archives,
// fonts, settings and table, display mode, the main menu and its music).
// False when the game cannot start; the reason has then been shown to the
// player and the window closed again.
bool StartGame(TPlatform& machine, uint32_t randomSeed, const TStartChoices& choices = {});

// One frame at the machine's clock NowMs: the frame timer's lag, then the
// main window's tick. The first frame after StartGame is drawn by the first
// call.
void RunFrame(int64_t nowMs);
