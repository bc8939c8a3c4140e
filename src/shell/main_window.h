#pragma once
// Folder shell/: the main window's creation, the frame loop, input, frame
// rate, settings and top-ten files and where they are kept, sound and
// music. Uses platform/, gfx/ and sprites/; the frame loop (main_window.cpp)
// is the one place here that knows every screen. The program's entry and
// the start-up around the creation stand above, in app/.
//
// MForm: start-up, the frame tick and the window's events. The platform
// calls these; they only set state or run the game's procedures.
#include <cstdint>

#include "platform/platform.h"

// Start-up. Throws EArchiveError when an archive is missing or malformed,
// ELookupError when the main menu's pictures or sounds are not in them.
// loadArchives false keeps the lists already in memory (for tests that
// build them).
void FormCreate(uint32_t randomSeed, bool loadArchives = true);
// One frame tick; an image or sound name that is not in its list abandons
// the rest of the tick, and the next tick runs as usual.
void MDXTimerTimer(int lagCount);
void FormKeyDown(int key, bool alt);
void FormKeyUp(int key);
void FormKeyPress(unsigned char key);
void MDXDrawMouseMove(int x, int y);
void MDXDrawClick();
// A gamepad was pulled out: in a race the player has lost the controls, so
// the race pauses (the window P opens); elsewhere nothing happens.
void GamepadRemoved();
// The window's close button: opens the leave question instead of closing.
void FormCloseQuery();
void ApplyDisplayMode();
// Saves and ends the program (the loop stops once Terminated is set). A
// save that fails is told on the screen first: the program ends when the
// notice closes (SaveFailedNoticeMs).
void ShutDown();
// The end the desktop asks for (a signal): the exit saves and nothing else,
// no question, no notice, no "play.url", no launcher.
void EndAtOnce();
// Milliseconds the notice of a failed exit save stays up; 0 when none is.
extern int SaveFailedNoticeMs;
// After the loop: starts the launcher beside the game when there is one.
void RunLauncherCheck();
// Frees every sprite and puts the shell back to its start state, so a test
// can run FormCreate again.
void ResetGame();
